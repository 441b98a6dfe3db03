#pragma once

#include <winsock2.h>
#include <ws2ipdef.h>

#include <windows.h>

#include <iphlpapi.h>

namespace vantrel {

// Asks the IP Helper to report changed routes (NotifyRouteChange2) and IP
// interfaces (NotifyIpInterfaceChange). The reports come on threads of the
// system's; each only posts `message` to `window`, with wParam 1 for an
// interface that came, went or changed and 0 for a route, so that the
// window's own thread does the work. The reports stop when this goes.
class NetworkChangeNotices {
 public:
  NetworkChangeNotices(HWND window, UINT message);
  ~NetworkChangeNotices();
  NetworkChangeNotices(const NetworkChangeNotices&) = delete;
  NetworkChangeNotices& operator=(const NetworkChangeNotices&) = delete;

 private:
  static void NETIOAPI_API_ OnRouteChange(void* context, MIB_IPFORWARD_ROW2* row, MIB_NOTIFICATION_TYPE type);
  static void NETIOAPI_API_ OnInterfaceChange(void* context, MIB_IPINTERFACE_ROW* row,
                                              MIB_NOTIFICATION_TYPE type);

  HWND window_;
  UINT message_;
  HANDLE routes_ = nullptr;
  HANDLE interfaces_ = nullptr;
};

}  // namespace vantrel
