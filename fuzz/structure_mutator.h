// A mutation that knows the shape of the files: byte-level mutations alone
// grow an input a few bytes at a time, so a file nested thousands deep or a
// line repeated thousands of times is never reached in a bounded run. Three
// in four mutations here are the fuzzer's own; the rest nest a stretch of the
// input in many levels of one element, or repeat a stretch many times.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz_support {

enum class Structure { Xml, Lines };

// For LLVMFuzzerCustomMutator: mutates `data` (`size` bytes, room for
// `maxSize`) in place and returns the new size.
std::size_t MutateStructure(Structure structure, std::uint8_t* data, std::size_t size,
                            std::size_t maxSize, unsigned int seed);

}  // namespace fuzz_support
