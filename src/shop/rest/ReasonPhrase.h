// The reason phrase of an HTTP status, for answers whose status line carries
// none; both transports fill THttpResponse's reason with it. Any thread.
#pragma once

namespace ooa {

// "" for a status without a phrase of ours.
const char* DefaultReason(int status);

}  // namespace ooa
