// The packing side of PackedBlob: one zlib stream made of raw deflate blocks
// packed independently (pigz's way). Each block but the last ends on a byte
// boundary (a sync flush) and is primed with the 32 KiB of input before it,
// so it may refer back across the seam as one deflater would; the blocks'
// Adler-32s are combined in order for the trailer.
#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <limits>
#include <map>
#include <mutex>
#include <thread>

#include "base/little_endian.h"
#include "package/errors.h"
#include "package/packed_blob.h"

namespace zsetup {

namespace {

constexpr std::size_t kWindow = 32768;
constexpr int kMemLevel = 8;  // zlib's default: a single block packs as deflateInit would
// zlib header for a 32 KiB window at the best level: 0x78 0xDA.
constexpr std::uint8_t kZlibHeader[] = {0x78, 0xDA};

// A raw deflater at level 9, ended on every path and reset for each block.
class Deflater {
public:
    Deflater() {
        if (deflateInit2(&z_, Z_BEST_COMPRESSION, Z_DEFLATED, -15, kMemLevel, Z_DEFAULT_STRATEGY) != Z_OK)
            throw PackageError("Cannot start the zlib deflater");
    }
    ~Deflater() { deflateEnd(&z_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // The block's packed bytes: primed with `dictionary`, ended with a sync
    // flush, or with the final block when `last`.
    std::vector<std::uint8_t> Pack(const std::uint8_t* dictionary, std::size_t dictionary_size,
                                   const std::uint8_t* data, std::size_t size, bool last) {
        if (deflateReset(&z_) != Z_OK) throw PackageError("zlib could not pack the data");
        if (dictionary_size > 0 && deflateSetDictionary(&z_, dictionary, static_cast<uInt>(dictionary_size)) != Z_OK)
            throw PackageError("zlib could not pack the data");
        // Room for the worst case, so one call packs the whole block.
        std::vector<std::uint8_t> out(deflateBound(&z_, static_cast<uLong>(size)) + 16);
        z_.next_in = const_cast<Bytef*>(data);
        z_.avail_in = static_cast<uInt>(size);
        z_.next_out = out.data();
        z_.avail_out = static_cast<uInt>(out.size());
        const int rc = deflate(&z_, last ? Z_FINISH : Z_SYNC_FLUSH);
        // All input taken and room left over: nothing is still pending.
        if (rc != (last ? Z_STREAM_END : Z_OK) || z_.avail_in != 0 || z_.avail_out == 0)
            throw PackageError("zlib could not pack the data");
        out.resize(out.size() - z_.avail_out);
        return out;
    }

private:
    z_stream z_{};
};

}  // namespace

// A block's input: the window before it, then its own bytes.
struct BlobPacker::Block {
    std::size_t index = 0;
    std::vector<std::uint8_t> bytes;
    std::size_t window = 0;
    bool last = false;
};

struct BlobPacker::Packed {
    std::vector<std::uint8_t> bytes;
    std::uint32_t adler = 1;
    std::size_t length = 0;
};

// Packs blocks: on the caller's thread when there is one thread, otherwise on
// a pool that the destructor stops and joins whatever happened.
class BlobPacker::Workers {
public:
    explicit Workers(unsigned threads) {
        if (threads <= 1) {
            inline_ = std::make_unique<Deflater>();
            return;
        }
        try {
            for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
        } catch (...) {
            Stop();
            throw;
        }
    }
    ~Workers() { Stop(); }
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    std::size_t limit() const { return threads_.empty() ? 1 : 2 * threads_.size() + 2; }

    void Push(Block block) {
        if (inline_) {
            done_.emplace(block.index, PackBlock(*inline_, block.bytes, block.window, block.last));
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back(std::move(block));
        }
        work_.notify_one();
    }

    // The packed block of that index, once it is ready.
    Packed Take(std::size_t index, bool wait) {
        std::unique_lock<std::mutex> lock(mutex_);
        auto ready = [&] { return error_ || done_.count(index) > 0; };
        if (wait) finished_.wait(lock, ready);
        if (error_) std::rethrow_exception(error_);
        const auto it = done_.find(index);
        if (it == done_.end()) return {};
        Packed packed = std::move(it->second);
        done_.erase(it);
        return packed;
    }
    bool Ready(std::size_t index) {
        std::lock_guard<std::mutex> lock(mutex_);
        return error_ || done_.count(index) > 0;
    }

private:
    static Packed PackBlock(Deflater& deflater, const std::vector<std::uint8_t>& bytes, std::size_t window, bool last) {
        const std::uint8_t* data = bytes.data() + window;
        const std::size_t size = bytes.size() - window;
        Packed packed;
        packed.bytes = deflater.Pack(bytes.data(), window, data, size, last);
        packed.adler = static_cast<std::uint32_t>(adler32(1, data, static_cast<uInt>(size)));
        packed.length = size;
        return packed;
    }

    void Work() {
        Deflater deflater;
        for (;;) {
            Block block;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                work_.wait(lock, [&] { return stop_ || !queue_.empty(); });
                if (stop_) return;
                block = std::move(queue_.front());
                queue_.pop_front();
            }
            try {
                Packed packed = PackBlock(deflater, block.bytes, block.window, block.last);
                std::lock_guard<std::mutex> lock(mutex_);
                done_.emplace(block.index, std::move(packed));
            } catch (...) {
                std::lock_guard<std::mutex> lock(mutex_);
                if (!error_) error_ = std::current_exception();
            }
            finished_.notify_all();
        }
    }

    void Stop() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        work_.notify_all();
        for (std::thread& t : threads_) t.join();
        threads_.clear();
    }

    std::unique_ptr<Deflater> inline_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable work_, finished_;
    std::deque<Block> queue_;
    std::map<std::size_t, Packed> done_;
    std::exception_ptr error_;
    bool stop_ = false;
};

BlobPacker::BlobPacker(std::uint64_t unpacked_length, PackedSink sink, unsigned threads)
    : length_(unpacked_length), sink_(std::move(sink)) {
    if (length_ > std::numeric_limits<std::uint32_t>::max()) throw PackageError("A packed blob holds at most 4 GiB");
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    workers_ = std::make_unique<Workers>(threads);
    std::vector<std::uint8_t> head;
    AppendLe32(head, static_cast<std::uint32_t>(length_));
    head.insert(head.end(), std::begin(kZlibHeader), std::end(kZlibHeader));
    sink_(head.data(), head.size());
    block_.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(length_, kPackBlockSize)));
}

BlobPacker::~BlobPacker() = default;

void BlobPacker::Add(const std::uint8_t* data, std::size_t size) {
    if (finished_ || size > length_ - added_) throw PackageError("More bytes to pack than announced");
    added_ += size;
    while (size > 0) {
        const std::size_t piece = std::min(size, kPackBlockSize - block_.size());
        block_.insert(block_.end(), data, data + piece);
        data += piece;
        size -= piece;
        // The last block is known by the announced length, so a payload of
        // whole blocks gets no empty block after them.
        const bool last = size == 0 && added_ == length_;
        if (block_.size() == kPackBlockSize || last) Submit(last);
    }
}

void BlobPacker::Submit(bool last) {
    // At most a few blocks in flight: memory stays bounded whatever the size.
    while (next_index_ - written_ >= workers_->limit()) Write(workers_->Take(written_, true));
    Block block;
    block.index = next_index_++;
    block.window = window_.size();
    block.last = last;
    block.bytes.reserve(window_.size() + block_.size());
    block.bytes = window_;
    block.bytes.insert(block.bytes.end(), block_.begin(), block_.end());
    const std::size_t keep = std::min(kWindow, block.bytes.size());
    window_.assign(block.bytes.end() - static_cast<std::ptrdiff_t>(keep), block.bytes.end());
    block_.clear();
    workers_->Push(std::move(block));
    while (written_ < next_index_ && workers_->Ready(written_)) Write(workers_->Take(written_, false));
    if (last) finished_ = true;
}

void BlobPacker::Write(const Packed& packed) {
    sink_(packed.bytes.data(), packed.bytes.size());
    adler_ = static_cast<std::uint32_t>(adler32_combine(adler_, packed.adler, static_cast<z_off_t>(packed.length)));
    ++written_;
}

void BlobPacker::Finish() {
    if (added_ != length_) throw PackageError("Fewer bytes to pack than announced");
    if (!finished_) Submit(true);  // nothing was announced: one empty final block
    while (written_ < next_index_) Write(workers_->Take(written_, true));
    const std::uint8_t trailer[] = {static_cast<std::uint8_t>(adler_ >> 24), static_cast<std::uint8_t>(adler_ >> 16),
                                    static_cast<std::uint8_t>(adler_ >> 8), static_cast<std::uint8_t>(adler_)};
    sink_(trailer, sizeof trailer);
}

std::vector<std::uint8_t> PackBlob(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> out;
    BlobPacker packer(size, [&out](const std::uint8_t* p, std::size_t n) { out.insert(out.end(), p, p + n); });
    packer.Add(data, size);
    packer.Finish();
    return out;
}

}  // namespace zsetup
