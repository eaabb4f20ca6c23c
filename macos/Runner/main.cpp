#include <cstdlib>

#include "platform/AppKit/NSApplicationMain.h"

int main(int argc, char* argv[]) { std::exit(NSApplicationMain(argc, argv)); }
