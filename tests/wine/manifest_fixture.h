#pragma once

// The program's manifest (resource 1) as text, then parsed with our own reader from its root element
// on, for the resource tests of both programs.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "common/xml/xml_node.h"

class ManifestFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        const HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(1), RT_MANIFEST);
        ASSERT_TRUE(info);
        const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
        ASSERT_TRUE(bytes);
        const int size = static_cast<int>(SizeofResource(nullptr, info));
        m_text.resize(
            static_cast<size_t>(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, size, nullptr, 0)));
        ASSERT_FALSE(m_text.empty()) << "the manifest is UTF-8";
        MultiByteToWideChar(CP_UTF8, 0, bytes, size, m_text.data(), static_cast<int>(m_text.size()));
        const size_t root = m_text.find(L"<assembly");
        ASSERT_NE(root, std::wstring::npos);
        CXmlParseContext context;
        ASSERT_TRUE(m_root.Parse(m_text, root, context)) << context.errorPosition;
        ASSERT_FALSE(context.error);
    }

    // Every element named `name` anywhere below `node`, in document order.
    static void Collect(const CXmlNode& node, std::wstring_view name, std::vector<const CXmlNode*>& found) {
        for (const auto& child : node.children) {
            if (child->type != XmlElement)
                continue;
            if (child->name == name)
                found.push_back(child.get());
            Collect(*child, name, found);
        }
    }
    std::vector<const CXmlNode*> All(std::wstring_view name) const {
        std::vector<const CXmlNode*> found;
        Collect(m_root, name, found);
        return found;
    }
    static std::wstring Attribute(const CXmlNode* node, std::wstring_view name) {
        const std::wstring* value = node->AttributeValue(name);
        return value ? *value : L"<absent>";
    }

    std::wstring m_text;
    CXmlNode m_root;
};
