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

// A count or size from the file, accepted only when that many records of at least `minRecordSize`
// bytes can follow. A refused claim is reported at the offset of the count itself.
inline std::size_t ReadClaim(BinaryCursor& cursor, std::size_t minRecordSize, const char* what) {
  const std::size_t start = cursor.offset();
  try {
    return cursor.readCount(minRecordSize, what);
  } catch (const ReadError& error) {
    cursor.failAt(start, error.reason());
  }
}

} // namespace vorlan
