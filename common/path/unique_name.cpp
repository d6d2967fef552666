#include "common/path/unique_name.h"

#include "common/path/path.h"

std::wstring MakeUniqueName(const std::wstring& base,
                            const std::function<unsigned()>& draw,
                            const std::function<bool(const std::wstring&)>& isFree,
                            int maxDraws) {
    for (int i = 0; i < maxDraws; ++i) {
        std::wstring name = base + HexPaddedWithSpaces(draw() & 0xFFFF);
        if (isFree(name))
            return name;
    }
    return std::wstring();
}
