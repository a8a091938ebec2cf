#pragma once
// The configuration plug-in "productinfo" for tests: answers the product folder (or null) for
// kind 2 and key "product", null for anything else, and records every question.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "module/host/iserv_config.h"

class FakeServConfig final : public IServConfig
{
public:
    struct Question
    {
        uint32_t kind;
        std::wstring key;
    };

    const wchar_t* GetString(uint32_t kind, const wchar_t* key) override;

    // No folder: the question is answered with null.
    void SetProductFolder(std::optional<std::wstring> folder);
    std::vector<Question> Questions() const;

private:
    mutable std::mutex mutex_;
    std::optional<std::wstring> folder_;
    std::vector<Question> questions_;
};
