// Lines of text kept in one buffer: the load log and the CE list. A line is
// appended in place, without an allocation of its own, and read back as a
// view; a list of std::string is made only where one is asked for.
#pragma once

#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <type_traits>
#include <ostream>
#include <string>
#include <string_view>
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

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
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

    void push_back(std::string_view line)
    {
        text_.append(line);
        ends_.push_back(static_cast<std::uint32_t>(text_.size()));
    }
    // Appends a line from its pieces, written straight into the buffer.
    template <typename... Parts>
    void Add(const Parts&... parts)
    {
        (Put(parts), ...);
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
    void Put(std::string_view s) { text_.append(s); }
    void Put(const std::string& s) { text_.append(s); }
    void Put(const char* s) { text_.append(s); }
    template <typename T>
        requires std::is_integral_v<T>
    void Put(T n)
    {
        char digits[24];
        text_.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
    }

    std::string text_;
    std::vector<std::uint32_t> ends_;
};

inline std::ostream& operator<<(std::ostream& out, const TextLines& lines)
{
    for (std::string_view line : lines) out << line << '\n';
    return out;
}

}  // namespace vantrel
