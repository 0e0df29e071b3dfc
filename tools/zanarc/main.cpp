// zanarc: the authors' archive tool; see `zanarc --help`.

#include <iostream>
#include <string>
#include <vector>

#include "zanarc/Zanarc.h"

int main(int argc, char** argv) {
  return zan::RunZanarc(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
