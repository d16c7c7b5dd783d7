// The golden files of data/golden/: annotated hex dumps of the bytes a document converts to, as
// the Linux build writes them (the writer's golden tests check them on every build).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The bytes of a hex dump: hex words, with anything after '#' on a line a comment.
std::vector<uint8_t> ParseHex(const std::string& text);

// The golden bytes of data/golden/NAME.mqo with smooth or flat normals; empty when missing.
std::vector<uint8_t> GoldenBytes(const std::string& name, bool smooth);

// The path of data/golden/NAME (for instance "cube.mqo").
std::string GoldenPath(const std::string& name);
