#include "scheduler/core/update_toast_ad.h"

ToastAd& ToastAdRecord() {
    static ToastAd record;
    return record;
}
