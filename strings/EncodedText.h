#pragma once

#include <QString>
#include <QStringView>
#include <algorithm>
#include <cstring>

namespace brindlewick {

// The growing result of an encoding: pieces are appended at a write position in a buffer sized
// once up front, so that appending a character costs no allocation and no check beyond the
// capacity. It grows only when the pieces outrun the estimate.
class EncodedText {
  public:
    explicit EncodedText(qsizetype capacity = 0) { reserve(capacity); }

    void append(QStringView units) {
        const qsizetype count = units.size();
        char16_t* to = room(count);
        // Pieces are short (one to twelve units): a plain loop beats a call of memcpy.
        const char16_t* from = units.utf16();
        for (qsizetype i = 0; i < count; ++i) {
            to[i] = from[i];
        }
        length_ += count;
    }

    qsizetype size() const { return length_; }

    // The write position, with room for at least `count` more units behind it. Units written
    // there count once they are committed.
    char16_t* room(qsizetype count) {
        if (length_ + count > capacity_) {
            reserve(std::max(capacity_ * 2, length_ + count));
        }
        return data_ + length_;
    }

    // Counts the units written at room() up to `end`.
    void commit(const char16_t* end) { length_ = end - data_; }

    // The text appended so far; the EncodedText is empty afterwards.
    QString take() {
        buffer_.resize(length_);
        QString text = std::move(buffer_);
        *this = EncodedText();
        return text;
    }

  private:
    void reserve(qsizetype capacity) {
        QString larger(capacity, Qt::Uninitialized);
        std::memcpy(larger.data(), buffer_.constData(),
                    static_cast<size_t>(length_) * sizeof(char16_t));
        buffer_ = std::move(larger);
        data_ = reinterpret_cast<char16_t*>(buffer_.data());
        capacity_ = capacity;
    }

    QString buffer_;
    char16_t* data_ = nullptr;
    qsizetype length_ = 0;
    qsizetype capacity_ = 0;
};

}  // namespace brindlewick
