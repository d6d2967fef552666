#include "common/ui/app_module.h"

CAppModule& CAppModule::Instance() {
    static CAppModule module;
    return module;
}

void CAppModule::Init(HINSTANCE instance, LANGID resourceLanguage) {
    m_instance = instance ? instance : ::GetModuleHandleW(nullptr);
    m_language = resourceLanguage;
}

void CAppModule::Term() {
    m_loop = nullptr;
}
