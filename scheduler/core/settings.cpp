#include "scheduler/core/settings.h"

#include <algorithm>
#include <limits>
#include <new>
#include <stdexcept>

#include "common/platform/registry_values.h"
#include "common/text/format.h"
#include "scheduler/core/os_version.h"

namespace {

// seconds, kind, action: three little-endian 32-bit integers.
constexpr size_t kTaskRecordSize = 12;

std::wstring TaskParamName(size_t index) {
    return FormatText(L"TaskParam%d", {static_cast<long long>(index)});
}

void ReadInt(const IRegistryKey& key, const wchar_t* name, int32_t& field) {
    if (const auto value = ReadDword(key, name))
        field = static_cast<int32_t>(*value);
}

// The REG_DWORD values of the home page and options, in the order they are read and written.
// Booleans read as true when non-zero and are written as 0 or 1.
struct DwordField {
    const wchar_t* name;
    int32_t CSettings::*number;
    bool CSettings::*flag;
};

constexpr DwordField kDwordFields[] = {
    {L"Type", &CSettings::type, nullptr},
    {L"Hour1", &CSettings::hour1, nullptr},
    {L"Min1", &CSettings::min1, nullptr},
    {L"AMPM", &CSettings::ampm, nullptr},
    {L"Hour2", &CSettings::hour2, nullptr},
    {L"Min2", &CSettings::min2, nullptr},
    {L"ForceIfHung", nullptr, &CSettings::forceIfHung},
    {L"Mode", &CSettings::mode, nullptr},
    {L"Confirm", nullptr, &CSettings::confirm},
};

int32_t Int32At(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t value = 0;
    for (size_t i = 4; i-- > 0;)
        value = (value << 8) | bytes[offset + i];
    return static_cast<int32_t>(value);
}

void AppendInt32(std::vector<uint8_t>& bytes, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

void WriteInt(IRegistryKey& key, const wchar_t* name, int32_t value) {
    WriteDword(key, name, static_cast<uint32_t>(value));
}

}  // namespace

void CSettings::Load(IRegistry& registry, uint32_t osVersionClass) {
    *this = CSettings();
    if (const auto key = registry.Open(RegistryRoot::CurrentUser, kSettingsKeyPath, RegistryAccess::Read)) {
        for (const DwordField& field : kDwordFields) {
            if (const auto value = ReadDword(*key, field.name)) {
                if (field.number)
                    this->*field.number = static_cast<int32_t>(*value);
                else
                    this->*field.flag = *value != 0;
            }
        }

        lang = ReadString(*key, L"Lang").value_or(lang);
        setLang = ReadString(*key, L"SetLang").value_or(lang);
        if (const auto update = ReadQword(*key, L"Update"))
            lastUpdateCheck = static_cast<int64_t>(*update);

        ReadInt(*key, L"AlarmSound", alarmSound);
        soundFile = ReadString(*key, L"SoundFile").value_or(soundFile);

        // Whatever its type: only the length decides how many records there are, and bytes past the
        // last whole record are dropped.
        if (const auto records = key->Read(L"Task")) {
            const size_t count = records->data.size() / kTaskRecordSize;
            for (size_t i = 0; i < count; ++i) {
                const size_t offset = i * kTaskRecordSize;
                TaskRecord task;
                task.seconds = Int32At(records->data, offset);
                task.kind = Int32At(records->data, offset + 4);
                task.action = Int32At(records->data, offset + 8);
                task.parameter = ReadString(*key, TaskParamName(i)).value_or(std::wstring());
                tasks.push_back(std::move(task));
            }
        }
        storedTaskCount = tasks.size();
    }
    if (osVersionClass < OsVersionCode::Windows2000)
        forceIfHung = false;
}

void CSettings::Save(IRegistry& registry, bool withTasks) {
    const auto key = registry.Create(RegistryRoot::CurrentUser, kSettingsKeyPath, RegistryAccess::ReadWrite);
    if (!key)
        return;
    for (const DwordField& field : kDwordFields)
        WriteDword(*key, field.name,
                   field.number ? static_cast<uint32_t>(this->*field.number) : (this->*field.flag ? 1u : 0u));

    if (lang.empty())
        key->Delete(L"Lang");
    else
        WriteString(*key, L"Lang", lang);
    // A missing "SetLang" loads as "Lang", so only a different choice needs storing.
    if (setLang == lang)
        key->Delete(L"SetLang");
    else
        WriteString(*key, L"SetLang", setLang);

    WriteQword(*key, L"Update", static_cast<uint64_t>(lastUpdateCheck));

    WriteInt(*key, L"AlarmSound", alarmSound);
    if (alarmSound == -1 && !soundFile.empty())
        WriteString(*key, L"SoundFile", soundFile);
    else
        key->Delete(L"SoundFile");

    if (!withTasks)
        return;

    std::vector<uint8_t> records;
    try {
        records.reserve(tasks.size() * kTaskRecordSize);
    } catch (const std::bad_alloc&) {
        // Nothing of the list is touched, so the stored copy stays whole.
        return;
    }
    for (const auto& task : tasks) {
        AppendInt32(records, task.seconds);
        AppendInt32(records, task.kind);
        AppendInt32(records, task.action);
    }

    bool allWritten = true;
    if (!tasks.empty()) {
        for (size_t i = 0; i < tasks.size(); ++i) {
            const std::wstring name = TaskParamName(i);
            allWritten &=
                tasks[i].parameter.empty() ? key->Delete(name) : WriteString(*key, name, tasks[i].parameter);
        }
        allWritten &= WriteBinary(*key, L"Task", records);
    } else {
        allWritten &= key->Delete(L"Task");
    }
    for (size_t i = tasks.size(); i < storedTaskCount; ++i)
        allWritten &= key->Delete(TaskParamName(i));
    // After a failed write the registry may still hold parameters past the new end; keeping the larger
    // count makes the next save with tasks delete them.
    storedTaskCount = allWritten ? tasks.size() : std::max(storedTaskCount, tasks.size());
}

int64_t CSettings::ScheduleSeconds() const {
    if (type == 0)
        return int64_t{min1} * 60 + int64_t{hour1} * 3600;
    int64_t hour = hour2 == 12 ? 0 : hour2;
    if (ampm != 0)
        hour += 12;
    return int64_t{min2} * 60 + hour * 3600;
}

size_t CSettings::AddTask(const TaskRecord& task) {
    tasks.push_back(task);
    return tasks.size() - 1;
}

void CSettings::RemoveTask(size_t index) {
    if (index >= tasks.size())
        throw std::invalid_argument("task index out of range");
    tasks.erase(tasks.begin() + static_cast<std::ptrdiff_t>(index));
}

const TaskRecord& CSettings::Task(size_t index) const {
    if (index >= tasks.size())
        throw std::invalid_argument("task index out of range");
    return tasks[index];
}
