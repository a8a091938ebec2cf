#include "fake_host/fake_serv_config.h"

const wchar_t* FakeServConfig::GetString(uint32_t kind, const wchar_t* key)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const std::wstring text = key != nullptr ? key : L"";
    questions_.push_back(Question{kind, text});
    if (kind == 2 && text == L"product" && folder_)
        return folder_->c_str();
    return nullptr;
}

void FakeServConfig::SetProductFolder(std::optional<std::wstring> folder)
{
    std::lock_guard<std::mutex> lock(mutex_);
    folder_ = std::move(folder);
}

std::vector<FakeServConfig::Question> FakeServConfig::Questions() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return questions_;
}
