#include <algorithm>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "sdk/qv_value.h"
#include "sdk/value_nodes.h"

namespace qv {
namespace {

class TextWriter
{
public:
    TextWriter() { numberStream_.imbue(std::locale::classic()); }

    // Iterative: a container opens a frame instead of a nested call.
    std::wstring Write(const Value& root)
    {
        WriteValue(root);
        while (!frames_.empty())
        {
            Frame& frame = frames_.back();
            if (frame.next == frame.count)
            {
                text_ += frame.dict ? L" }" : L" ]";
                frames_.pop_back();
                continue;
            }
            const uint32_t position = frame.next++;
            if (position != 0)
                text_ += L", ";
            const Value* element;
            if (frame.dict)
            {
                const uint32_t index = frame.order[position];
                const Value::DictValue& dict = *frame.dict;
                text_ += L'"';
                AppendString(dict.keys->items[index]);
                text_ += L"\" : ";
                element = &dict.values->items[index];
            }
            else
            {
                element = &frame.array->items->items[position];
            }
            // May push a frame: `frame` is not used after this point.
            WriteElement(*element);
        }
        return std::move(text_);
    }

private:
    struct Frame
    {
        const Value::ArrayValue* array;
        const Value::DictValue* dict;
        std::vector<uint32_t> order;
        uint32_t next;
        uint32_t count;
    };

    void AppendString(const WString& s) { text_.append(s.c_str(), s.GetLength()); }

    void WriteElement(const Value& element)
    {
        if (element.GetType() == Value::kString)
        {
            text_ += L'"';
            AppendString(element.AsString());
            text_ += L'"';
            return;
        }
        WriteValue(element);
    }

    void WriteValue(const Value& value)
    {
        const Value::BaseValue* node = value.Node();
        switch (value.GetType())
        {
        case Value::kNull:
            text_ += L"null";
            break;
        case Value::kBool:
            text_ += static_cast<const Value::BoolValue*>(node)->flag ? L"true" : L"false";
            break;
        case Value::kNumber:
            WriteNumber(static_cast<const Value::NumberValue*>(node)->number);
            break;
        case Value::kString:
            AppendString(static_cast<const Value::StringValue*>(node)->text);
            break;
        case Value::kArray:
        {
            const auto* array = static_cast<const Value::ArrayValue*>(node);
            text_ += L"[ ";
            frames_.push_back(Frame{array, nullptr, {}, 0, array->items->count});
            break;
        }
        case Value::kDict:
        {
            const auto* dict = static_cast<const Value::DictValue*>(node);
            text_ += L"{ ";
            Frame frame{nullptr, dict, {}, 0, std::min(dict->keys->count, dict->values->count)};
            frame.order.resize(frame.count);
            for (uint32_t i = 0; i < frame.count; ++i)
                frame.order[i] = i;
            const WString* keys = dict->keys->items;
            std::sort(frame.order.begin(), frame.order.end(),
                      [keys](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
            frames_.push_back(std::move(frame));
            break;
        }
        default:
            break;
        }
    }

    // The default of a wide stream: six significant digits, %g style.
    void WriteNumber(double number)
    {
        numberStream_.str(std::wstring());
        numberStream_.clear();
        numberStream_ << number;
        text_ += numberStream_.str();
    }

    std::wstring text_;
    std::vector<Frame> frames_;
    std::wostringstream numberStream_;
};

} // namespace

WString Value::ToString() const
{
    const std::wstring text = TextWriter().Write(*this);
    return WString(text.c_str(), text.size());
}

} // namespace qv
