#pragma once

#include <string>
#include <vector>

#include "online/http_request.h"

namespace sg::online {

// The body of an answered request as lines, the way a 1,023-character line buffer takes them:
// each line keeps its line feed and loses its carriage returns, and a line of more than 1,022
// characters comes in pieces. A connection that breaks off ends the lines; the piece then
// being read is lost. A body of more than a mebibyte is no page of ours: it gives no lines.
std::vector<std::string> ReadResponseLines(HttpRequest& request);

}  // namespace sg::online
