// main.cpp: the process entry.
#include "start.h"

int main(int argc, char** argv) { return bbRunProcess(argc, const_cast<const char**>(argv)); }
