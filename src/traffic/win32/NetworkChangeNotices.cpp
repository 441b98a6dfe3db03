#include "traffic/win32/NetworkChangeNotices.h"

namespace vantrel {

NetworkChangeNotices::NetworkChangeNotices(HWND window, UINT message) : window_(window), message_(message) {
  // Either report may fail to start (Wine has no route notices); the bar
  // then follows what the other one reports.
  if (NotifyRouteChange2(AF_UNSPEC, &OnRouteChange, this, FALSE, &routes_) != NO_ERROR) routes_ = nullptr;
  if (NotifyIpInterfaceChange(AF_UNSPEC, &OnInterfaceChange, this, FALSE, &interfaces_) != NO_ERROR)
    interfaces_ = nullptr;
}

NetworkChangeNotices::~NetworkChangeNotices() {
  // Returns once no report is under way any more.
  if (routes_ != nullptr) CancelMibChangeNotify2(routes_);
  if (interfaces_ != nullptr) CancelMibChangeNotify2(interfaces_);
}

void NETIOAPI_API_ NetworkChangeNotices::OnRouteChange(void* context, MIB_IPFORWARD_ROW2*,
                                                       MIB_NOTIFICATION_TYPE) {
  const auto* self = static_cast<const NetworkChangeNotices*>(context);
  PostMessageW(self->window_, self->message_, 0, 0);
}

void NETIOAPI_API_ NetworkChangeNotices::OnInterfaceChange(void* context, MIB_IPINTERFACE_ROW*,
                                                           MIB_NOTIFICATION_TYPE) {
  const auto* self = static_cast<const NetworkChangeNotices*>(context);
  PostMessageW(self->window_, self->message_, 1, 0);
}

}  // namespace vantrel
