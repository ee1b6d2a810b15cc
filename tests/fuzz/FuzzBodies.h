#pragma once
// What each fuzz target does with one input; shared by the libFuzzer targets and by the test
// that replays the seed corpus and every saved crash in the ordinary test run.
#include <cstddef>
#include <cstdint>

// Decrypts the bytes as an encrypted description with the embedded key and checks the result's
// shape (buffer size, terminator, length). Aborts on a violated property.
void FuzzDecryptOne(const std::uint8_t* data, std::size_t size);

// Loads the bytes as a plain description, walks both lists and reads the values, then runs the
// publisher's checks over it. Aborts on a violated property.
void FuzzDescriptionOne(const std::uint8_t* data, std::size_t size);
