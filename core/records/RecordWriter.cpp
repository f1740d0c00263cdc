#include "core/records/RecordWriter.h"

#include <cstring>

#include "core/platform/FileIo.h"

namespace qurix {

bool CRecordWriter::Put(char c) {
    if (file_) return WriteByte(c, file_) != EOF;
    if (memory_) {
        memory_->push_back(c);
        return true;
    }
    return false;
}

bool CRecordWriter::PutRaw(const char* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (!Put(bytes[i])) return false;
    }
    return true;
}

// Writes the separator, then text up to its NUL with every byte 1..32, '%' and ','
// escaped (a key's ':' is never among them).
int32_t CRecordWriter::WriteEscaped(const char* text) {
    if (!file_ && !memory_) return -1;
    if (atLineStart_) {
        atLineStart_ = false;
    } else if (!Put(',')) {
        return -1;
    }
    static const char HEX[] = "0123456789ABCDEF";
    for (size_t i = 0; text[i] != '\0'; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c >= 1 && c <= 32) || c == '%' || c == ',') {
            const char esc[3] = {'%', HEX[c >> 4], HEX[c & 15]};
            if (!PutRaw(esc, 3)) return -1;
        } else if (!Put(static_cast<char>(c))) {
            return -1;
        }
    }
    return 0;
}

int32_t CRecordWriter::WriteToken(const std::string& text) {
    return WriteEscaped(text.c_str());
}

int32_t CRecordWriter::WriteToken(const char* text) {
    return WriteEscaped(text);
}

int32_t CRecordWriter::WriteKeyInt(const std::string& key, int32_t n) {
    return WriteKeyValue(key, std::to_string(n));
}

int32_t CRecordWriter::WriteKeyValue(const std::string& key, const std::string& value) {
    std::string token = key;
    token += ':';
    token += value;
    return WriteEscaped(token.c_str());
}

int32_t CRecordWriter::EndLine() {
    atLineStart_ = true;
    return Put('\n') ? 0 : -1;
}

}  // namespace qurix
