/* A program that returns from main while a preview, the temperature and raw
 * streams and a search are still running, without TMV_NET_Deinit: it must
 * end at once and cleanly. */
#include <string.h>
#include <time.h>

#include "TMVNetSDK.h"

static void onFrame(TMV_NET_HANDLE handle, int32_t channel, TMV_NET_PREVIEW_FRAME *frame, void *user)
{
    (void)handle;
    (void)channel;
    (void)frame;
    (void)user;
}

static void onTemp(TMV_NET_HANDLE handle, const TMV_NET_TEMP_FRAME *frame, int32_t channel, void *user)
{
    (void)handle;
    (void)frame;
    (void)channel;
    (void)user;
}

static void onRaw(TMV_NET_HANDLE handle, const uint16_t *data, int32_t width, int32_t height, void *user)
{
    (void)handle;
    (void)data;
    (void)width;
    (void)height;
    (void)user;
}

static void onFound(const char *ip, void *user)
{
    (void)ip;
    (void)user;
}

int main(void)
{
    TMV_NET_LOGIN_INFO info;
    TMV_NET_HANDLE handle = 0;
    TMV_NET_PREVIEW_INFO preview = {1, 0, 2};
    struct timespec pause = {0, 200 * 1000 * 1000};

    memset(&info, 0, sizeof info);
    strcpy(info.ip, "127.0.0.11");
    info.port = 80;
    strcpy(info.userName, "admin");
    strcpy(info.password, "sensor852");
    if (TMV_NET_Init() != 0 || TMV_NET_Login(&info, &handle) != 0)
        return 1;
    if (TMV_NET_StartPreview_V2(handle, &preview, onFrame, 0) != 0 || TMV_NET_SearchDev(onFound, 0, 8000) != 0)
        return 1;
    if (TMV_NET_StartPullTemp_V2(handle, onTemp, 0) != 0 || TMV_NET_StartPullNucData(handle, onRaw, 0) != 0)
        return 1;
    nanosleep(&pause, 0);
    return 0;
}
