# The dialogs' rectangles are written once, in the Windows dialog templates
# (res/win32/*.rc, in dialog units). Each widget of a Linux form (res/*.ui)
# names the template control it stands for in its "dialogControl" property:
# the control's id, or the caption of a control without one (controls that
# share a caption are taken in template order); the window names its dialog.
# vantrel_dialog_forms() writes the forms to the build tree with each such
# property turned into the control's rectangle, "dialogUnits", which the
# dialogs lay out at run time. A form that names a control its template lacks,
# or leaves one of the template's controls out, stops the configuration.

# Reads the dialog templates of `rc` into variables of the caller's scope:
# _dlg_<dialog>_units (the window's size as a form writes it), _dlg_<dialog>_count
# and, for the n-th control, _dlg_<dialog>_<n>_key and _dlg_<dialog>_<n>_units
# (its rectangle as a form writes it).
function(_vantrel_read_templates rc)
  file(STRINGS "${rc}" lines)
  set(dialog "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Z_0-9]+) DIALOGEX [0-9]+, [0-9]+, ([0-9]+), ([0-9]+)")
      set(dialog "${CMAKE_MATCH_1}")
      set(count 0)
      set(_dlg_${dialog}_units "<size><width>${CMAKE_MATCH_2}</width><height>${CMAKE_MATCH_3}</height></size>"
          PARENT_SCOPE)
    elseif(dialog AND line MATCHES "^END")
      set(_dlg_${dialog}_count ${count} PARENT_SCOPE)
      set(dialog "")
    elseif(dialog AND line MATCHES
           "^ *CONTROL (\"[^\"]*\"|[A-Z_0-9]+), (-1|[A-Z_0-9]+), \"[A-Za-z]+\", [^,]+, ([0-9]+), ([0-9]+), ([0-9]+), ([0-9]+)")
      math(EXPR count "${count} + 1")
      string(CONCAT units "<rect><x>${CMAKE_MATCH_3}</x><y>${CMAKE_MATCH_4}</y>"
             "<width>${CMAKE_MATCH_5}</width><height>${CMAKE_MATCH_6}</height></rect>")
      set(_dlg_${dialog}_${count}_units "${units}" PARENT_SCOPE)
      set(key "${CMAKE_MATCH_2}")
      if(key STREQUAL "-1")
        string(REGEX REPLACE "^\"(.*)\"$" "\\1" key "${CMAKE_MATCH_1}")
      endif()
      set(_dlg_${dialog}_${count}_key "${key}" PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

# vantrel_dialog_forms(<output folder> TEMPLATES <.rc>... FORMS <.ui>...)
function(vantrel_dialog_forms out)
  cmake_parse_arguments(ARG "" "" "TEMPLATES;FORMS" ${ARGN})
  foreach(rc IN LISTS ARG_TEMPLATES)
    _vantrel_read_templates("${rc}")
  endforeach()
  set(open "<property name=\"dialogControl\" stdset=\"0\">")
  foreach(form IN LISTS ARG_FORMS)
    get_filename_component(name "${form}" NAME)
    file(READ "${form}" rest)
    set(text "")
    set(dialog "")
    string(FIND "${rest}" "${open}" at)
    while(at GREATER -1)
      string(SUBSTRING "${rest}" 0 ${at} head)
      string(SUBSTRING "${rest}" ${at} -1 rest)
      if(NOT rest MATCHES "^${open}[ \t\r\n]*(<string[^>/]*>([^<]*)</string>|<string[^>]*/>)[ \t\r\n]*</property>")
        message(FATAL_ERROR "${name}: a dialogControl property without a text")
      endif()
      set(key "${CMAKE_MATCH_2}")
      string(LENGTH "${CMAKE_MATCH_0}" length)
      string(SUBSTRING "${rest}" ${length} -1 rest)
      if(NOT dialog)
        if(NOT DEFINED _dlg_${key}_count)
          message(FATAL_ERROR "${name}: no dialog template ${key}")
        endif()
        set(dialog "${key}")
        set(units "${_dlg_${dialog}_units}")
      else()
        set(found "")
        foreach(n RANGE 1 ${_dlg_${dialog}_count})
          if(NOT _used_${n} AND _dlg_${dialog}_${n}_key STREQUAL key)
            set(found ${n})
            break()
          endif()
        endforeach()
        if(NOT found)
          message(FATAL_ERROR "${name}: ${dialog} has no control \"${key}\" left")
        endif()
        set(_used_${found} TRUE)
        set(units "${_dlg_${dialog}_${found}_units}")
      endif()
      string(APPEND text "${head}<property name=\"dialogUnits\" stdset=\"0\">${units}</property>")
      string(FIND "${rest}" "${open}" at)
    endwhile()
    if(NOT dialog)
      message(FATAL_ERROR "${name}: the window names no dialog template")
    endif()
    foreach(n RANGE 1 ${_dlg_${dialog}_count})
      if(NOT _used_${n})
        message(FATAL_ERROR "${name}: no widget stands for control ${n} of ${dialog}, "
                            "\"${_dlg_${dialog}_${n}_key}\"")
      endif()
      unset(_used_${n})
    endforeach()
    file(WRITE "${out}/${name}.new" "${text}${rest}")
    file(COPY_FILE "${out}/${name}.new" "${out}/${name}" ONLY_IF_DIFFERENT)
    file(REMOVE "${out}/${name}.new")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${form}")
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ARG_TEMPLATES})
endfunction()

# vantrel_compile_form(<variable> <name>): compiles the filled-in form
# <name>.ui into forms/ui_<name>.h (included as "forms/ui_<name>.h") for the
# calling folder's targets; <variable> gets the header, to list as a source.
function(vantrel_compile_form variable name)
  set(header "${VANTREL_FORMS_DIR}/ui_${name}.h")
  add_custom_command(OUTPUT "${header}"
    COMMAND Qt6::uic "${VANTREL_FORMS_DIR}/${name}.ui" -o "${header}"
    DEPENDS "${VANTREL_FORMS_DIR}/${name}.ui" Qt6::uic
    COMMENT "Compiling the form ${name}.ui" VERBATIM)
  set(${variable} "${header}" PARENT_SCOPE)
endfunction()
