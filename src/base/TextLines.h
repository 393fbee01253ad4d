// Lines of text, for the load log and the CE list: finished lines in one
// buffer. A line is appended in place, from its pieces (texts and numbers in
// decimal), and read back as a view; a list of std::string is made only
// where one is asked for.
#pragma once

#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace vantrel {

class TextLines {
public:
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using reference = std::string_view;
        using pointer = void;
        Iterator() = default;
        Iterator(const TextLines* lines, std::size_t i) : lines_(lines), i_(i) {}
        std::string_view operator*() const { return (*lines_)[i_]; }
        Iterator& operator++()
        {
            ++i_;
            return *this;
        }
        Iterator operator++(int)
        {
            Iterator old = *this;
            ++i_;
            return old;
        }
        bool operator==(const Iterator& other) const { return i_ == other.i_; }
        Iterator operator+(difference_type n) const { return Iterator(lines_, i_ + static_cast<std::size_t>(n)); }
        difference_type operator-(const Iterator& other) const
        {
            return static_cast<difference_type>(i_) - static_cast<difference_type>(other.i_);
        }

    private:
        const TextLines* lines_ = nullptr;
        std::size_t i_ = 0;
    };

    TextLines() = default;
    TextLines(std::initializer_list<std::string_view> lines)
    {
        for (std::string_view line : lines) push_back(line);
    }
    TextLines(const TextLines&) = default;
    TextLines& operator=(const TextLines&) = default;
    // A moved-from list is empty.
    TextLines(TextLines&& other) noexcept { *this = std::move(other); }
    TextLines& operator=(TextLines&& other) noexcept
    {
        text_ = std::exchange(other.text_, {});
        ends_ = std::exchange(other.ends_, {});
        return *this;
    }

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    // A view of line i, valid until the next line is written.
    std::string_view operator[](std::size_t i) const
    {
        const std::size_t start = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(text_).substr(start, ends_[i] - start);
    }
    std::string_view at(std::size_t i) const { return i < size() ? (*this)[i] : throw std::out_of_range("line"); }
    std::string_view front() const { return (*this)[0]; }
    std::string_view back() const { return (*this)[size() - 1]; }
    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, size()); }

    void push_back(std::string_view line) { Add(line); }
    // Appends a line of these pieces: texts and integers (in decimal).
    template <typename... Parts>
    void Add(const Parts&... parts)
    {
        (Append(parts), ...);
        ends_.push_back(static_cast<std::uint32_t>(text_.size()));
    }
    void clear()
    {
        text_.clear();
        ends_.clear();
    }

    std::vector<std::string> Lines() const { return std::vector<std::string>(begin(), end()); }
    operator std::vector<std::string>() const { return Lines(); }
    bool operator==(const TextLines& other) const { return ends_ == other.ends_ && text_ == other.text_; }
    bool operator==(const std::vector<std::string>& lines) const
    {
        if (lines.size() != size()) return false;
        for (std::size_t i = 0; i < size(); ++i)
            if ((*this)[i] != lines[i]) return false;
        return true;
    }

private:
    void Append(std::string_view text) { text_.append(text); }
    template <typename T>
        requires std::is_integral_v<T>
    void Append(T number)
    {
        char digits[24];
        text_.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
    }

    std::string text_;                 // the lines, one after another
    std::vector<std::uint32_t> ends_;  // where each line ends in text_
};

inline std::ostream& operator<<(std::ostream& out, const TextLines& lines)
{
    for (std::string_view line : lines) out << line << '\n';
    return out;
}

}  // namespace vantrel
