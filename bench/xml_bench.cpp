// Parse throughput of the XML reader and how its time grows with the input.
//
// Every shape is generated at a base size and at ten times that size; the reader must scale
// linearly, so the larger input may take at most twelve times as long. Each time is the best of
// several runs of Parse, and is also given against a baseline measured in the same run: copying
// the same text once, which is as fast as touching every character gets. Destroying the tree is
// timed apart: it is the allocator's work, and its ratio shows the caches more than the code.
//
//   xml_bench [--runs N] [--only TEXT] [--check]
//     --only: the shapes whose name contains TEXT; --check: exit 1 when a ratio exceeds 12
//   xml_bench --parse-once TEXT SCALE
//     parses the first shape whose name contains TEXT once, at SCALE (1 or 10) times its base size,
//     for instruction counting under callgrind (bench/instructions.sh), which a busy machine cannot skew

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <malloc.h>
#include <string>
#include <vector>

#include "common/xml/xml_node.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kAllowedRatio = 12.0;

// A realistic answer: the version document's items and ads, repeated until the size is reached.
std::wstring Typical(size_t size) {
    std::wstring text =
        L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<version mode=\"auto\" major=\"3\" minor=\"1\">\r\n";
    for (size_t i = 0; text.size() < size; ++i) {
        const std::wstring n = std::to_wstring(i);
        text += L"  <!-- edition " + n +
                L" -->\r\n  <item spec=\"*\" type=\"download\" url=\"https://dl.example/qp-" + n +
                L".exe?a=1&amp;b=2\" visible=\"yes\">Quillpack &quot;" + n + L"&quot; \\<full\\></item>\r\n";
        if (i % 4 == 0)
            text += L"  <ad url=\"https://ads.example/" + n +
                    L"\" width=\"320\" height=\"200\"><cookie url=\"https://ads.example/\" "
                    L"p3p=\"CP='NOI'\"/></ad>\r\n";
    }
    return text + L"</version>\r\n";
}

// One element with `count` attributes.
std::wstring Attributes(size_t count) {
    std::wstring text = L"<e";
    for (size_t i = 0; i < count; ++i)
        text += L" a" + std::to_wstring(i) + L"=\"v\"";
    return text + L"/>";
}

// `count` sibling comments inside one element.
std::wstring Comments(size_t count) {
    std::wstring text = L"<r>";
    for (size_t i = 0; i < count; ++i)
        text += L"<!-- c -->";
    return text + L"</r>";
}

// Element text made only of entity references, decoded in one pass.
std::wstring Entities(size_t size) {
    std::wstring text = L"<t>";
    static const wchar_t* const refs[] = {L"&amp;",  L"&lt;",  L"&gt;",    L"&quot;",
                                          L"&apos;", L"&#65;", L"&amp;lt;"};
    for (size_t i = 0; text.size() < size; ++i)
        text += refs[i % 7];
    return text + L"</t>";
}

// Siblings nested right down to the depth limit, repeated until the size is reached.
std::wstring Deep(size_t size) {
    std::wstring one;
    for (int i = 1; i < kMaxXmlDepth; ++i)
        one += L"<d>";
    one += L"x";
    for (int i = 1; i < kMaxXmlDepth; ++i)
        one += L"</d>";
    std::wstring text = L"<r>";
    while (text.size() < size)
        text += one;
    return text + L"</r>";
}

// The escape character and a comment that never closes: scanning to the very end.
std::wstring Unclosed(size_t size) {
    std::wstring text = L"<r><x>";
    while (text.size() < size)
        text += L"\\<\\\\ text -- > ]] ";
    return text + L"<!-- never closed";
}

struct Shape {
    const char* name;
    std::function<std::wstring(size_t)> make;
    size_t base;  // in the shape's own unit: characters, or attributes / comments
    bool succeeds;
};

struct Measure {
    size_t characters = 0;
    double parse = 1e30;    // the Parse call
    double release = 1e30;  // destroying the tree it built
    double copy = 1e30;     // the baseline: one copy of the text
};

double Since(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

Measure Run(const Shape& shape, size_t units, int runs) {
    const std::wstring text = shape.make(units);
    Measure m;
    m.characters = text.size();
    std::wstring copy;
    copy.reserve(text.size());
    for (int i = 0; i < runs; ++i) {
        CXmlParseContext context;
        auto root = std::make_unique<CXmlNode>();
        auto start = Clock::now();
        const bool ok = root->Parse(text, 0, context).has_value();
        m.parse = std::min(m.parse, Since(start));
        start = Clock::now();
        root.reset();
        m.release = std::min(m.release, Since(start));
        if (ok != shape.succeeds) {
            std::fprintf(stderr, "%s: parse %s unexpectedly\n", shape.name, ok ? "succeeded" : "failed");
            std::exit(2);
        }
        start = Clock::now();
        copy.assign(text);
        m.copy = std::min(m.copy, Since(start));
        if (copy.size() != text.size())
            std::exit(2);
    }
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    // glibc hands large blocks back to the kernel on every free, so each run of the large input
    // would pay for faulting its memory in again while the small one reuses the heap. Keep freed
    // memory for both, so the ratio measures the parser rather than the page-fault path.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);

    int runs = 5;
    bool check = false;
    const char* only = nullptr;
    const char* once = nullptr;
    size_t scale = 1;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--parse-once") && i + 2 < argc) {
            once = argv[++i];
            scale = static_cast<size_t>(std::max(1, std::atoi(argv[++i])));
            continue;
        }
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--only") && i + 1 < argc)
            only = argv[++i];
        else if (!std::strcmp(argv[i], "--check"))
            check = true;
    }

    const Shape shapes[] = {
        {"typical document", Typical, 1'000'000, true},
        {"attributes on one element", Attributes, 100'000, true},
        {"sibling comments", Comments, 100'000, true},
        {"entity references", Entities, 1'000'000, true},
        {"nesting to the limit", Deep, 1'000'000, true},
        {"escapes, comment never closed", Unclosed, 1'000'000, true},
    };

    if (once) {
        for (const Shape& shape : shapes) {
            if (!std::strstr(shape.name, once))
                continue;
            const std::wstring text = shape.make(shape.base * scale);
            CXmlNode root;
            const bool ok = root.Parse(text).has_value();
            std::printf("%s x%zu: %zu characters, parse %s\n", shape.name, scale, text.size(),
                        ok ? "ok" : "failed");
            return ok == shape.succeeds ? 0 : 2;
        }
        return 2;
    }

    std::printf("%-30s %10s %8s %8s %10s %8s %8s %7s %8s\n", "shape", "base chars", "MB/s", "vs copy",
                "10x chars", "MB/s", "vs copy", "ratio", "release");
    bool withinLimit = true;
    for (const Shape& shape : shapes) {
        if (only && !std::strstr(shape.name, only))
            continue;
        const Measure small = Run(shape, shape.base, runs);
        const Measure large = Run(shape, shape.base * 10, runs);
        const double ratio = large.parse / small.parse;
        withinLimit = withinLimit && ratio <= kAllowedRatio;
        std::printf("%-30s %10zu %8.1f %7.0fx %10zu %8.1f %7.0fx %7.2f %8.2f%s\n", shape.name,
                    small.characters, small.characters / small.parse / 1e6, small.parse / small.copy,
                    large.characters, large.characters / large.parse / 1e6, large.parse / large.copy, ratio,
                    large.release / small.release, ratio <= kAllowedRatio ? "" : "  TOO SLOW");
    }
    std::printf("\nratio: time of Parse on the 10x input over the base input (linear: 10, allowed: %.0f)\n",
                kAllowedRatio);
    std::printf(
        "release: the same ratio for destroying the tree (memory-bound: beyond the caches it grows "
        "faster)\n");
    std::printf(
        "MB/s: millions of document characters a second; vs copy: Parse time over one copy of the text\n");
    return check && !withinLimit ? 1 : 0;
}
