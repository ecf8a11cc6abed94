#include "fuzz/Harnesses.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  vorlan::fuzz::InitialiseHarnesses(argc, argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, unsigned long size) {
  vorlan::fuzz::RunHarness("bmp", {data, size});
  return 0;
}
