#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vorlan::fuzz {

// Readers need a Qt application for fonts and pictures; the harnesses make a headless one.
void InitialiseHarnesses(int* argc, char*** argv);

// The reader entry points that take a file's bytes, by the name of their harness and corpus folder.
std::vector<std::string_view> HarnessNames();

// Feeds `bytes` to the named entry point. A ReadError is the expected answer to bad input and is
// swallowed; anything else (another exception, a crash, a sanitizer report) is a finding.
void RunHarness(std::string_view name, std::span<const std::uint8_t> bytes);

} // namespace vorlan::fuzz
