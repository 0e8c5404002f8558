#include "platform/metafile/WmfEmbeddedEmf.h"

#include "platform/metafile/RecordTypes.h"

#include "platform/metafile/ByteReader.h"
#include "platform/metafile/EmfParser.h"

namespace platform::metafile {

namespace {

constexpr auto kMetaEscape = std::uint16_t(WmfRecord::META_ESCAPE);
constexpr std::uint16_t kMfComment = 15;
constexpr std::uint32_t kCommentTypeEmf = 1;
constexpr std::uint32_t kVersion = 0x00010000u;

struct Chunk {
    std::uint32_t count = 0;      // chunks in the whole sequence
    std::uint32_t remaining = 0;  // EMF bytes after this chunk
    std::uint32_t total = 0;      // size of the whole EMF
    ByteReader data;
};

// The chunk a record carries, if it is a well-formed "WMFC" escape.
std::optional<Chunk> chunkOf(const MetafileDocument& wmf, const RecordSpan& record) {
    if (record.type != kMetaEscape || record.size < 6) {
        return std::nullopt;
    }
    ByteReader r(wmf.bytes.constData() + record.offset + 6, record.size - 6);
    const std::uint16_t function = r.u16();
    const std::uint16_t byteCount = r.u16();
    if (!r.ok() || function != kMfComment || byteCount < WmfEmbeddedEmf::kChunkHeaderSize ||
        !r.has(byteCount)) {
        return std::nullopt;
    }
    ByteReader comment = r.sub(r.pos(), byteCount);
    if (comment.u32() != WmfEmbeddedEmf::kIdentifier || comment.u32() != kCommentTypeEmf ||
        comment.u32() != kVersion) {
        return std::nullopt;
    }
    comment.u16();  // checksum
    comment.u32();  // flags
    Chunk chunk;
    chunk.count = comment.u32();
    const std::uint32_t size = comment.u32();
    chunk.remaining = comment.u32();
    chunk.total = comment.u32();
    if (!comment.ok() || !comment.has(size)) {
        return std::nullopt;
    }
    chunk.data = comment.sub(comment.pos(), size);
    return chunk;
}

}  // namespace

std::optional<QByteArray> WmfEmbeddedEmf::assemble(const MetafileDocument& wmf) {
    QByteArray emf;
    std::uint32_t chunks = 0;
    std::uint32_t count = 0;
    std::uint32_t total = 0;
    for (const RecordSpan& record : wmf.records) {
        const std::optional<Chunk> chunk = chunkOf(wmf, record);
        if (!chunk) {
            continue;
        }
        if (chunks == 0) {
            // The chunks all lie inside this file, so a larger total is a lie.
            if (chunk->count == 0 || chunk->count > wmf.records.size() || chunk->total == 0 ||
                qsizetype(chunk->total) > wmf.bytes.size()) {
                return std::nullopt;
            }
            count = chunk->count;
            total = chunk->total;
            emf.reserve(qsizetype(total));
        } else if (chunk->count != count || chunk->total != total) {
            return std::nullopt;
        }
        const std::uint64_t assembled = std::uint64_t(emf.size()) + chunk->data.size();
        if (assembled > total || chunk->remaining != total - assembled) {
            return std::nullopt;
        }
        emf.append(chunk->data.data(), qsizetype(chunk->data.size()));
        if (++chunks == count) {
            break;
        }
    }
    if (chunks == 0 || chunks != count || std::uint64_t(emf.size()) != total) {
        return std::nullopt;
    }
    return emf;
}

std::optional<MetafileDocument> WmfEmbeddedEmf::extract(const MetafileDocument& wmf) {
    const std::optional<QByteArray> bytes = assemble(wmf);
    if (!bytes || !EmfParser::hasSignature(*bytes)) {
        return std::nullopt;
    }
    return EmfParser::parse(*bytes);
}

}  // namespace platform::metafile
