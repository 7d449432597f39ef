#include "SdkMetaTypes.h"

void RegisterSdkMetaTypes()
{
    static const bool registered = [] {
        qRegisterMetaType<TMV_NET_HANDLE>("TMV_NET_HANDLE");
        qRegisterMetaType<TMV_NET_FILE_DOWNLOAD_INFO>("TMV_NET_FILE_DOWNLOAD_INFO");
        qRegisterMetaType<QMap<int, TMV_NET_FILE_DOWNLOAD_INFO>>("QMap<int,TMV_NET_FILE_DOWNLOAD_INFO>");
        return true;
    }();
    Q_UNUSED(registered);
}
