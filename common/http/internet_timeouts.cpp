#include "common/http/internet_timeouts.h"

bool SetInternetTimeouts(HINTERNET handle) {
    bool allSet = true;
    for (const DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD value = kInternetTimeoutMilliseconds;
        if (!::InternetSetOptionW(handle, option, &value, sizeof(value)))
            allSet = false;
    }
    return allSet;
}
