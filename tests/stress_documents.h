// Documents built to stress the reader's time and memory: each kind fills a given size with one
// pathological pattern. Shared by the resource tests and the program that writes them to files
// for measuring at full size (scripts/measure-resources.sh).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The kinds, by name:
//   quoted         one quoted token, never closed, running to the end
//   delimiters     nothing but delimiters after the header
//   corners        one object with one face whose corners are all its vertices, about 100 bytes
//                  of text per corner (vertex, index and texture coordinates)
//   objects        empty objects of 100 bytes each
//   count-quoted   a vertex count of one per 8 bytes, then one quoted token of digits to the end,
//                  which every missing coordinate repeats
//   tiny-faces     one face per 2 bytes ("1" and a line feed), the most face records per byte
//   materials      a material table of one entry per byte, then blank lines: the most memory per
//                  byte of text that a declared count can take
//   vertices       a vertex list of one vertex per byte, then blank lines
const std::vector<std::string_view>& StressKinds();

// About `size` bytes of the kind (never more); empty for an unknown kind.
std::string StressDocument(std::string_view kind, size_t size);
