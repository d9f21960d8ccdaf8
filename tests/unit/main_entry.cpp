// The program's entry, renamed so that a test can run it against the stand-in.
#define main fairgroundMain
#include "app/main.cpp"
