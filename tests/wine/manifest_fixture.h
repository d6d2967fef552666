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

    // What both programs ask of the loader: the version 6 common controls as a dependent assembly
    // (the second identity) and to run as the invoker.
    void ExpectCommonControls6AsInvoker() const {
        const auto identities = All(L"assemblyIdentity");
        ASSERT_EQ(identities.size(), 2u);
        EXPECT_EQ(Attribute(identities[1], L"name"), L"Microsoft.Windows.Common-Controls");
        EXPECT_EQ(Attribute(identities[1], L"version"), L"6.0.0.0");
        EXPECT_EQ(Attribute(identities[1], L"publicKeyToken"), L"6595b64144ccf1df");
        EXPECT_EQ(identities[1]->parent->name, L"dependentAssembly");

        const auto levels = All(L"requestedExecutionLevel");
        ASSERT_EQ(levels.size(), 1u);
        EXPECT_EQ(Attribute(levels[0], L"level"), L"asInvoker");
        EXPECT_EQ(Attribute(levels[0], L"uiAccess"), L"false");
    }

    // Windows 7 to 11 as supported systems, and per-monitor DPI awareness in both spellings.
    void ExpectWindows7To11AndPerMonitorAwareness() const {
        std::vector<std::wstring> systems;
        for (const CXmlNode* os : All(L"supportedOS"))
            systems.push_back(Attribute(os, L"Id"));
        EXPECT_EQ(systems, (std::vector<std::wstring>{
                               L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
                               L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
                               L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
                               L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
                           }));
        const auto awareness = All(L"dpiAwareness");
        ASSERT_EQ(awareness.size(), 1u);
        EXPECT_EQ(awareness[0]->value, L"PerMonitorV2, PerMonitor");
        EXPECT_EQ(Attribute(awareness[0], L"xmlns"), L"http://schemas.microsoft.com/SMI/2016/WindowsSettings");
        const auto aware = All(L"dpiAware");
        ASSERT_EQ(aware.size(), 1u);
        EXPECT_EQ(aware[0]->value, L"true/pm");
        EXPECT_EQ(Attribute(aware[0], L"xmlns"), L"http://schemas.microsoft.com/SMI/2005/WindowsSettings");
    }

    // The loader read the manifest: this process got the version 6 common controls, which live in
    // their side-by-side folder (Wine's copy there still answers 5 to DllGetVersion, so the folder
    // tells).
    static void ExpectVersion6CommonControlsLoaded() {
        const HMODULE controls = GetModuleHandleW(L"comctl32.dll");
        ASSERT_TRUE(controls);
        wchar_t path[MAX_PATH] = {};
        ASSERT_TRUE(GetModuleFileNameW(controls, path, MAX_PATH));
        std::wstring folder = path;
        CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
        EXPECT_NE(folder.find(L"\\winsxs\\amd64_microsoft.windows.common-controls_6595b64144ccf1df_6."),
                  std::wstring::npos)
            << path;
    }

    std::wstring m_text;
    CXmlNode m_root;
};
