#include "app/Shell.h"

// The program reads no command line: it plays the game folder it is started in.
int main() { return WinMain(); }
