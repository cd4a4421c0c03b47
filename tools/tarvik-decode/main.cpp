// tarvik-decode: decodes monitor lines into JSON, one object per line.
#include <iostream>

int main() {
  std::cerr << "tarvik-decode: not built yet\n";
  return 1;
}
