// Rows of the table: playback (card files and their downloads).
#include "Calls.h"

namespace entryfuzz {

#define H s.handle()

const Entry kPlaybackCalls[] = {
    // ---- Playback
    {"QueryFileSize",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *query = s.in<TMV_NET_FILE_QUERY>();
         int32_t *count = s.outCount();
         sizeQueryResult(TMV_NET_QueryFileSize(h, query, count), count);
     }},
    {"QueryFile",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const auto *query = s.in<TMV_NET_FILE_QUERY>();
         listQuery<TMV_NET_FILE_INFO>(
             s, [&](TMV_NET_FILE_INFO *a, int32_t c, int32_t *n) { return TMV_NET_QueryFile(h, query, a, c, n); });
     }},
    {"StartDownloadFile",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const TMV_NET_FILE_DOWNLOAD_INFO *info = nullptr;
         if (!nullNow(s.p)) {
             auto *made = const_cast<TMV_NET_FILE_DOWNLOAD_INFO *>(s.in<TMV_NET_FILE_DOWNLOAD_INFO>());
             if (!made) {
                 made = static_cast<TMV_NET_FILE_DOWNLOAD_INFO *>(block(sizeof *made));
                 std::memset(made, 0, sizeof *made);
             }
             fileDownloadRecord(s, made);
             info = made;
         }
         // An id, or a documented status negated.
         const int32_t id = TMV_NET_StartDownloadFile(h, info);
         if (tracing())
             noteStatus(id);
         if (id >= 0)
             g_downloads.push_back(id);
         else
             require(id != INT32_MIN && documented(-id));
     }},
    {"StopDownloadFile",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         check(TMV_NET_StopDownloadFile(h, downloadId(s)));
     }},
    {"GetDownloadProgress",
     [](Step &s) {
         const TMV_NET_HANDLE h = H;
         const int32_t id = downloadId(s);
         auto *progress = s.out<TMV_NET_DOWNLOAD_PROGRESS>();
         const int32_t status = TMV_NET_GetDownloadProgress(h, id, progress);
         check(status);
         if (status == 0 && progress)
             require(progress->total >= 0 && progress->done >= 0 && progress->done <= progress->total);
     }},
};

#undef H

}  // namespace entryfuzz
