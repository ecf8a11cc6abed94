#pragma once

#include "platform/BinaryCursor.h"
#include "platform/ReadError.h"

#include <string>

namespace vorlan {

// Runs `read` and, when it fails, names the record it was in before the reason
// ("entity 7: layer 2: name ..."). The name is built only on failure: drawings hold hundreds of
// thousands of records and the happy path must not pay for their names.
template <class Read, class Name> decltype(auto) ReadInRecord(Read&& read, Name&& name) {
  try {
    return read();
  } catch (const ReadError& error) {
    throw ReadError(error.fileName(), error.offset(), name() + ": " + error.reason());
  }
}

} // namespace vorlan
