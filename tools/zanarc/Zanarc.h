#pragma once
// zanarc: the authors' archive tool (pack, list, extract, verify, lib-encode, lib-decode,
// lib-show) and save inspector (save-info).
// The command runs as a function so that tests can drive it in-process.

#include <ostream>
#include <string>
#include <vector>

namespace zan {

// Exit status: 0 done, 1 failed (unreadable input, damage found), 2 bad command line.
int RunZanarc(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

std::string ZanarcHelp();

}  // namespace zan
