// Lines of text for the load log and the CE list.
//
// TextLines keeps finished lines in one buffer (the text LazyLines makes): a
// line is appended in place, without an allocation of its own, and read back
// as a view; a list of std::string is made only where one is asked for.
//
// LazyLines keeps each line as the values it is made of (texts and numbers)
// and makes its text only when a line is first read: writing a line is a few
// stores into one buffer. The loader writes dozens of lines a load that are
// read only when the log is shown.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstring>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <type_traits>
#include <utility>
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
    void clear()
    {
        text_.clear();
        ends_.clear();
    }

    std::vector<std::string> Lines() const { return std::vector<std::string>(begin(), end()); }
    bool operator==(const TextLines& other) const { return ends_ == other.ends_ && text_ == other.text_; }
    bool operator==(const std::vector<std::string>& lines) const
    {
        if (lines.size() != size()) return false;
        for (std::size_t i = 0; i < size(); ++i)
            if ((*this)[i] != lines[i]) return false;
        return true;
    }

private:
    std::string text_;
    std::vector<std::uint32_t> ends_;
};

class LazyLines {
public:
    using Iterator = TextLines::Iterator;

    LazyLines() = default;
    LazyLines(std::initializer_list<std::string_view> lines)
    {
        for (std::string_view line : lines) push_back(line);
    }
    LazyLines(const LazyLines& other) { *this = other; }
    LazyLines& operator=(const LazyLines& other)
    {
        if (this == &other) return *this;
        clear();
        for (std::string_view line : other) push_back(line);
        return *this;
    }
    // A moved-from list is empty.
    LazyLines(LazyLines&& other) noexcept { *this = std::move(other); }
    LazyLines& operator=(LazyLines&& other) noexcept
    {
        if (this == &other) return *this;
        records_ = std::move(other.records_);
        shown_ = std::move(other.shown_);
        used_ = std::exchange(other.used_, 0);
        count_ = std::exchange(other.count_, 0);
        read_ = std::exchange(other.read_, 0);
        other.records_.clear();
        other.shown_.clear();
        return *this;
    }

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    // A view of line i, valid until the next line is written.
    std::string_view operator[](std::size_t i) const { return Shown()[i]; }
    std::string_view at(std::size_t i) const { return Shown().at(i); }
    std::string_view front() const { return Shown().front(); }
    std::string_view back() const { return Shown().back(); }
    Iterator begin() const { return Shown().begin(); }
    Iterator end() const { return Shown().end(); }

    void push_back(std::string_view line) { Add(line); }
    // Appends a line of these pieces: texts (string, string_view) and
    // integers. A char array is taken for a string literal and kept by its
    // address; any other text is copied.
    template <typename... Parts>
    void Add(const Parts&... parts)
    {
        std::uint8_t* at = Extend(sizeof(RenderFn) + (Stored::Size(parts) + ... + 0));
        const RenderFn render = &Render<Stored::Type<Parts>...>;
        std::memcpy(at, &render, sizeof render);
        at += sizeof render;
        (Stored::Write(at, parts), ...);
        ++count_;
    }
    void clear()
    {
        used_ = 0;
        count_ = 0;
        read_ = 0;
        shown_.clear();
    }

    std::vector<std::string> Lines() const { return Shown().Lines(); }
    operator std::vector<std::string>() const { return Lines(); }
    bool operator==(const LazyLines& other) const { return Shown() == other.Shown(); }
    bool operator==(const std::vector<std::string>& lines) const { return Shown() == lines; }

private:
    // Makes one line's text from its stored values; returns where the next line's record begins.
    using RenderFn = const std::uint8_t* (*)(const std::uint8_t* at, std::string& out);

    // How each kind of piece is stored and read back.
    struct Stored {
        template <std::size_t N>
        struct Literal {};  // the address (the length is the array's, N - 1)
        struct Text {};     // a length, then the bytes
        struct Signed {};   // eight bytes
        struct Unsigned {};
        template <typename T>
        static auto KindOf()
        {
            if constexpr (std::is_array_v<T>) {
                static_assert(std::is_same_v<std::remove_cv_t<std::remove_extent_t<T>>, char>, "a text literal");
                return Literal<std::extent_v<T>>{};
            } else if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, std::string_view>) {
                return Text{};
            } else {
                // Anything else, a const char* too, is refused here: pass it as a string_view.
                static_assert(std::is_integral_v<T>, "a piece is a text literal, a string, a string_view or an integer");
                if constexpr (std::is_signed_v<T>)
                    return Signed{};
                else
                    return Unsigned{};
            }
        }
        template <typename T>
        using Type = decltype(KindOf<std::remove_cv_t<T>>());

        template <std::size_t N>
        static constexpr std::size_t Size(const char (&)[N]) { return sizeof(const char*); }
        static std::size_t Size(std::string_view text) { return sizeof(std::uint32_t) + text.size(); }
        template <typename T>
            requires std::is_integral_v<T>
        static constexpr std::size_t Size(T) { return sizeof(std::uint64_t); }

        template <std::size_t N>
        static void Write(std::uint8_t*& at, const char (&text)[N])
        {
            const char* address = text;
            std::memcpy(at, &address, sizeof address);
            at += sizeof address;
        }
        static void Write(std::uint8_t*& at, std::string_view text)
        {
            const auto length = static_cast<std::uint32_t>(text.size());
            std::memcpy(at, &length, sizeof length);
            if (length != 0) std::memcpy(at + sizeof length, text.data(), length);
            at += sizeof length + length;
        }
        template <typename T>
            requires std::is_integral_v<T>
        static void Write(std::uint8_t*& at, T n)
        {
            const std::uint64_t bits = std::is_signed_v<T> ? static_cast<std::uint64_t>(static_cast<std::int64_t>(n))
                                                           : static_cast<std::uint64_t>(n);
            std::memcpy(at, &bits, sizeof bits);
            at += sizeof bits;
        }
    };

    template <std::size_t N>
    static void ReadPiece(Stored::Literal<N>, const std::uint8_t*& at, std::string& out)
    {
        const char* address = nullptr;
        std::memcpy(&address, at, sizeof address);
        out.append(address, N - 1);
        at += sizeof address;
    }
    static void ReadPiece(Stored::Text, const std::uint8_t*& at, std::string& out)
    {
        std::uint32_t length = 0;
        std::memcpy(&length, at, sizeof length);
        out.append(reinterpret_cast<const char*>(at + sizeof length), length);
        at += sizeof length + length;
    }
    template <typename Number>
    static void ReadPiece(Number, const std::uint8_t*& at, std::string& out)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, at, sizeof bits);
        at += sizeof bits;
        char digits[24];
        if constexpr (std::is_same_v<Number, Stored::Signed>)
            out.append(digits, std::to_chars(digits, digits + sizeof digits, static_cast<std::int64_t>(bits)).ptr);
        else
            out.append(digits, std::to_chars(digits, digits + sizeof digits, bits).ptr);
    }

    template <typename... Kinds>
    static const std::uint8_t* Render(const std::uint8_t* at, std::string& out)
    {
        (ReadPiece(Kinds{}, at, out), ...);
        return at;
    }

    // Room for n more bytes at the end of the records.
    [[gnu::always_inline]] std::uint8_t* Extend(std::size_t n)
    {
        if (records_.size() - used_ < n) Grow(n);
        std::uint8_t* at = records_.data() + used_;
        used_ += n;
        return at;
    }
    void Grow(std::size_t n) { records_.resize(std::max(records_.size() * 2, used_ + n + 1024)); }

    // The lines as text, made for the lines not yet made.
    const TextLines& Shown() const
    {
        std::string text;
        while (shown_.size() < count_) {
            text.clear();
            RenderFn render = nullptr;
            std::memcpy(&render, records_.data() + read_, sizeof render);
            const std::uint8_t* next = render(records_.data() + read_ + sizeof render, text);
            read_ = static_cast<std::size_t>(next - records_.data());
            shown_.push_back(text);
        }
        return shown_;
    }

    std::vector<std::uint8_t> records_;  // each line: its render function, then its values
    std::size_t used_ = 0;                // bytes of records_ in use
    std::size_t count_ = 0;               // lines written
    mutable std::size_t read_ = 0;        // where the first line not yet shown begins
    mutable TextLines shown_;
};

inline std::ostream& operator<<(std::ostream& out, const LazyLines& lines)
{
    for (std::string_view line : lines) out << line << '\n';
    return out;
}

}  // namespace vantrel
