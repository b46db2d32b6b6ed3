// A bounded single-producer single-consumer queue that neither locks nor allocates after
// construction, for handing buffers between the program and the audio thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

namespace audio::detail {

template <typename T>
class SpscQueue {
  public:
    explicit SpscQueue(std::size_t capacity)
        : size_(capacity + 1), slots_(std::make_unique<T[]>(capacity + 1)) {}

    // Producer side. Returns false when the queue is full.
    bool push(const T& value) {
        std::size_t tail = tail_.load(std::memory_order_relaxed);
        std::size_t next = tail + 1 == size_ ? 0 : tail + 1;
        if (next == head_.load(std::memory_order_acquire))
            return false;
        slots_[tail] = value;
        tail_.store(next, std::memory_order_release);
        return true;
    }

    // Consumer side: the oldest element, or nullptr when empty.
    T* front() {
        std::size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire))
            return nullptr;
        return &slots_[head];
    }
    // Consumer side: removes the element front() returned.
    void pop() {
        std::size_t head = head_.load(std::memory_order_relaxed);
        head_.store(head + 1 == size_ ? 0 : head + 1, std::memory_order_release);
    }
    bool pop(T& out) {
        T* f = front();
        if (!f)
            return false;
        out = *f;
        pop();
        return true;
    }

  private:
    const std::size_t size_;
    std::unique_ptr<T[]> slots_;
    alignas(64) std::atomic<std::size_t> head_{0};
    alignas(64) std::atomic<std::size_t> tail_{0};
};

}  // namespace audio::detail
