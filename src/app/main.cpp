// Quelta: a real-time captioning workstation for teams of typists on one LAN.
#include "app/startup.h"

int main(int argc, char** argv) { return App::runQuelta(argc, argv); }
