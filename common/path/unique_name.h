#pragma once

#include <functional>
#include <string>

// How many names MakeUniqueName tries before it gives up. A temporary folder holding this many of
// our names means something is wrong; spinning forever would hang the caller.
constexpr int kMaxUniqueNameDraws = 1024;

// Appends a random four-character upper-case hexadecimal suffix (space-padded, values below 65536
// from `draw`) to base until `isFree` accepts the name. Returns the first free name, or an empty
// text after `maxDraws` tries.
std::wstring MakeUniqueName(const std::wstring& base,
                            const std::function<unsigned()>& draw,
                            const std::function<bool(const std::wstring&)>& isFree,
                            int maxDraws = kMaxUniqueNameDraws);
