#pragma once

#include <QString>
#include <cstddef>

// A text used as a hash key with a plain FNV-1a hash. The model's tables are keyed by short texts (node
// keys, label names, action values) looked up thousands of times per load or check; QString's own hash
// costs several times more per call there, as profiles of those runs show.
struct TextKey {
    QString text;
};

inline bool operator==(const TextKey& a, const TextKey& b) noexcept {
    return a.text == b.text;
}

inline size_t qHash(const TextKey& key, size_t seed = 0) noexcept {
    quint64 hash = 14695981039346656037ULL ^ seed;
    for (const QChar c : key.text)
        hash = (hash ^ c.unicode()) * 1099511628211ULL;
    return size_t(hash ^ (hash >> 32));
}
