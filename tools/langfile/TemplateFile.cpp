#include "TemplateFile.h"

#include <limits>

ETemplateError::ETemplateError(std::size_t offset, std::string_view what)
    : Exception("record at offset " + std::to_string(offset) + ": " + AnsiString(what)), offset_(offset) {}

namespace {

// Reads the records of one template: Unit is char for the 8-bit template, char16_t for the UTF-16
// one; positions count units, offsets bytes.
template <typename Unit> class RecordReader {
public:
    explicit RecordReader(std::basic_string_view<Unit> units) : units_(units) {}

    bool AtEnd() const { return pos_ == units_.size(); }
    void StartRecord() { start_ = pos_; }
    std::size_t RecordOffset() const { return start_ * sizeof(Unit); }

    [[noreturn]] void Fail(std::string_view what) const { throw ETemplateError(RecordOffset(), what); }

    // A field up to the next TAB, which is consumed.
    std::basic_string_view<Unit> Field(std::string_view name) {
        std::size_t begin = pos_;
        while (pos_ < units_.size() && units_[pos_] != Unit('\t')) {
            if (units_[pos_] == Unit('\r') || units_[pos_] == Unit('\n'))
                Fail(std::string("line break in the ") + std::string(name));
            ++pos_;
        }
        if (pos_ == units_.size())
            Fail(std::string("truncated: the file ends in the ") + std::string(name));
        return units_.substr(begin, pos_++ - begin);
    }

    std::uint32_t Number(std::string_view name) {
        std::basic_string_view<Unit> digits = Field(name);
        if (digits.empty())
            Fail(std::string("the ") + std::string(name) + " is empty");
        if (digits.size() > 1 && digits[0] == Unit('0'))
            Fail(std::string("the ") + std::string(name) + " has a leading zero");
        std::uint64_t value = 0;
        for (Unit c : digits) {
            if (c < Unit('0') || c > Unit('9'))
                Fail(std::string("the ") + std::string(name) + " is not a decimal number");
            value = value * 10 + static_cast<std::uint64_t>(c - Unit('0'));
            if (value > std::numeric_limits<std::uint32_t>::max())
                Fail(std::string("the ") + std::string(name) + " is too large");
        }
        return static_cast<std::uint32_t>(value);
    }

    // The text of count units, then the CR LF that ends the record.
    std::basic_string_view<Unit> Text(std::uint32_t count) {
        if (units_.size() - pos_ < count)
            Fail("truncated: the text is shorter than its length says");
        std::basic_string_view<Unit> text = units_.substr(pos_, count);
        pos_ += count;
        if (units_.size() - pos_ < 2)
            Fail("truncated: the record does not end with CR LF");
        if (units_[pos_] != Unit('\r') || units_[pos_ + 1] != Unit('\n'))
            Fail("the text is not followed by CR LF");
        pos_ += 2;
        return text;
    }

private:
    std::basic_string_view<Unit> units_;
    std::size_t pos_ = 0;
    std::size_t start_ = 0;
};

} // namespace

std::vector<TFormTemplateRecord> ReadFormTemplate(std::string_view bytes) {
    std::vector<TFormTemplateRecord> records;
    RecordReader<char> reader(bytes);
    while (!reader.AtEnd()) {
        reader.StartRecord();
        TFormTemplateRecord record{reader.RecordOffset(), {}, {}, {}};
        record.FormKey = reader.Field("form key");
        record.Path = reader.Field("property path");
        record.Text = reader.Text(reader.Number("length"));
        records.push_back(std::move(record));
    }
    return records;
}

std::vector<TStringTemplateRecord> ReadStringTemplate(std::string_view bytes) {
    WideString units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    std::vector<TStringTemplateRecord> records;
    RecordReader<char16_t> reader(units);
    while (!reader.AtEnd()) {
        reader.StartRecord();
        TStringTemplateRecord record{reader.RecordOffset(), 0, {}};
        record.Identifier = reader.Number("identifier");
        record.Text = reader.Text(reader.Number("length"));
        records.push_back(std::move(record));
    }
    if (bytes.size() % 2 != 0)
        throw ETemplateError(bytes.size() - 1, "truncated: the file ends inside a UTF-16 code unit");
    return records;
}
