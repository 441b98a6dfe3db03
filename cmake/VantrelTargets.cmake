# Helpers that keep the toolkit-free core apart from its platform adapters.
#
# vantrel_core_library(name sources...) declares a core library. Core code may
# use the C++ standard library only: at the end of configuration
# vantrel_check_core_targets() fails if a core target links Qt, X11/xcb or any
# non-core library, or if one of its sources includes a toolkit or platform
# header.

set_property(GLOBAL PROPERTY VANTREL_CORE_TARGETS "")

function(vantrel_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
  set_property(GLOBAL APPEND PROPERTY VANTREL_CORE_TARGETS ${name})
endfunction()

# An adapter library: platform or toolkit code behind one of the core's
# interfaces.
function(vantrel_adapter_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
endfunction()

set(_VANTREL_FORBIDDEN_INCLUDE
    "#[ \t]*include[ \t]*[<\"](Q[A-Za-z]*|Qt[A-Za-z]*/|xcb/|X11/|sys/|linux/|net/|netinet/|arpa/|unistd\\.h|windows\\.h|winsock2\\.h|ws2[a-z]*\\.h|iphlpapi\\.h|netioapi\\.h|shellapi\\.h)")

function(vantrel_check_core_targets)
  get_property(core GLOBAL PROPERTY VANTREL_CORE_TARGETS)
  foreach(target IN LISTS core)
    get_target_property(libs ${target} LINK_LIBRARIES)
    if(libs)
      foreach(lib IN LISTS libs)
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" lib "${lib}")
        if(NOT lib IN_LIST core)
          message(FATAL_ERROR "Core target '${target}' links '${lib}'. "
                              "Core code uses the standard library only; put platform code in an adapter.")
        endif()
      endforeach()
    endif()
    get_target_property(sources ${target} SOURCES)
    get_target_property(dir ${target} SOURCE_DIR)
    foreach(source IN LISTS sources)
      if(NOT IS_ABSOLUTE "${source}")
        set(source "${dir}/${source}")
      endif()
      file(STRINGS "${source}" bad REGEX "${_VANTREL_FORBIDDEN_INCLUDE}")
      if(bad)
        message(FATAL_ERROR "Core target '${target}': ${source} includes a toolkit or platform header: ${bad}")
      endif()
    endforeach()
  endforeach()
endfunction()

# vantrel_gzip(target input output): a target of the default build that
# compresses input to output the way Debian wants documents: gzip -9, and -n
# keeps the time stamp and file name out of the archive.
function(vantrel_gzip target input output)
  get_filename_component(name "${output}" NAME)
  add_custom_command(OUTPUT "${output}"
    COMMAND gzip -9 -n -c "${input}" > "${output}"
    DEPENDS "${input}"
    COMMENT "Compressing ${name}")
  add_custom_target(${target} ALL DEPENDS "${output}")
endfunction()
