// A rendering device for the renderer's tests: the recording device, whose
// dynamic buffers start filled with 0xCD, that also writes every call but
// the buffer locks into a text log ("SetShader sA", "VS 16 1 12"), keeps
// each constant upload's bytes, decodes each indexed draw's vertices as the
// device would read them, and can fail chosen vertex locks.
#pragma once

#include "support/effects/RecordingDevice.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

class CallLogDevice : public RecordingDevice {
public:
    struct Upload {
        bool pixel;
        uint32_t first;
        uint32_t count;
        uint32_t stride;
        std::vector<float> values; // count registers of four floats (unset ones zero)
    };

    // Objects named in the log; the pool's buffers are vb0.., ib0.. in
    // creation order, the static cube cubeV and cubeI.
    void Name(const void* object, std::string name) { names_[object] = std::move(name); }
    std::string NameOf(const void* object) const {
        if (!object)
            return "null";
        const auto found = names_.find(object);
        return found == names_.end() ? "?" : found->second;
    }

    FulgorCore::IVertexBuffer* CreateVertexBuffer(uint32_t size, bool dynamic,
                                                  const void* initial) override {
        auto* b = RecordingDevice::CreateVertexBuffer(size, dynamic, initial);
        if (b && !initial)
            std::memset(static_cast<FakeVertexBuffer*>(b)->bytes.data(), 0xCD, size);
        if (b)
            Name(b, dynamic ? "vb" + std::to_string(vertexBuffers_++) : "cubeV");
        return b;
    }
    FulgorCore::IIndexBuffer* CreateIndexBuffer(uint32_t size, bool dynamic,
                                                const uint16_t* initial) override {
        auto* b = RecordingDevice::CreateIndexBuffer(size, dynamic, initial);
        if (b && !initial)
            std::memset(static_cast<FakeIndexBuffer*>(b)->bytes.data(), 0xCD, size);
        if (b)
            Name(b, dynamic ? "ib" + std::to_string(indexBuffers_++) : "cubeI");
        return b;
    }
    void* LockVertexBuffer(FulgorCore::IVertexBuffer* buffer, uint32_t offset,
                           uint32_t size) override {
        void* p = RecordingDevice::LockVertexBuffer(buffer, offset, size);
        if (failVertexLocks > 0) {
            --failVertexLocks;
            return nullptr;
        }
        return p;
    }

    void SetCullMode(uint32_t mode) override {
        Log("SetCullMode " + std::to_string(mode));
        RecordingDevice::SetCullMode(mode);
    }
    void SetBlendMode(uint32_t mode, bool wireframe) override {
        Log("SetBlendMode " + std::to_string(mode) + " " + std::to_string(wireframe));
        RecordingDevice::SetBlendMode(mode, wireframe);
    }
    void SetDepthState(uint8_t a, uint8_t b, uint8_t c) override {
        Log("SetDepthState " + std::to_string(a) + " " + std::to_string(b) + " " +
            std::to_string(c));
        RecordingDevice::SetDepthState(a, b, c);
    }
    void SetTexture(uint32_t stage, FulgorCore::ITexture* texture, uint32_t m1, uint32_t m2,
                    uint32_t m3, uint32_t flag) override {
        Log("SetTexture " + std::to_string(stage) + " " + NameOf(texture) + " " +
            std::to_string(m1) + " " + std::to_string(m2) + " " + std::to_string(m3) + " " +
            std::to_string(flag));
        RecordingDevice::SetTexture(stage, texture, m1, m2, m3, flag);
    }
    void SetShader(FulgorCore::IShader* shader) override {
        Log("SetShader " + NameOf(shader));
        RecordingDevice::SetShader(shader);
    }
    void OnDrawPhase(uint32_t phase) override {
        Log("OnDrawPhase " + std::to_string(phase));
        RecordingDevice::OnDrawPhase(phase);
    }
    void SetVertexShaderConstants(uint32_t first, const void* data, uint32_t count,
                                  uint32_t stride) override {
        Constants(false, first, data, count, stride);
        RecordingDevice::SetVertexShaderConstants(first, data, count, stride);
    }
    void SetPixelShaderConstants(uint32_t first, const void* data, uint32_t count,
                                 uint32_t stride) override {
        Constants(true, first, data, count, stride);
        RecordingDevice::SetPixelShaderConstants(first, data, count, stride);
    }
    void SetVertexBuffer(uint32_t stream, FulgorCore::IVertexBuffer* buffer, uint32_t offset,
                         uint32_t stride) override {
        Log("SetVertexBuffer " + std::to_string(stream) + " " + NameOf(buffer) + " " +
            std::to_string(offset) + " " + std::to_string(stride));
        RecordingDevice::SetVertexBuffer(stream, buffer, offset, stride);
    }
    void SetIndexBuffer(FulgorCore::IIndexBuffer* buffer) override {
        Log("SetIndexBuffer " + NameOf(buffer));
        RecordingDevice::SetIndexBuffer(buffer);
    }
    void Draw(uint32_t primitive, uint32_t vertexCount) override {
        Log("Draw " + std::to_string(primitive) + " " + std::to_string(vertexCount));
        RecordingDevice::Draw(primitive, vertexCount);
    }
    void DrawIndexed(uint32_t primitive, uint32_t firstIndex, uint32_t indexCount,
                     uint32_t vertexCount) override {
        Log("DrawIndexed " + std::to_string(primitive) + " " + std::to_string(firstIndex) + " " +
            std::to_string(indexCount) + " " + std::to_string(vertexCount));
        RecordingDevice::DrawIndexed(primitive, firstIndex, indexCount, vertexCount);
        decoded.push_back(Decode(firstIndex, indexCount));
    }
    void ResetRenderState() override {
        Log("ResetRenderState");
        RecordingDevice::ResetRenderState();
    }
    void OnLayerEnd() override {
        Log("OnLayerEnd");
        RecordingDevice::OnLayerEnd();
    }
    void OnBatchesBegin(uint32_t layer) override {
        Log("OnBatchesBegin " + std::to_string(layer));
        RecordingDevice::OnBatchesBegin(layer);
    }
    void OnBatchesEnd(uint32_t layer) override {
        Log("OnBatchesEnd " + std::to_string(layer));
        RecordingDevice::OnBatchesEnd(layer);
    }

    // The log from the first line equal to `line` (the whole log when
    // there is none).
    std::vector<std::string> From(const std::string& line) const {
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i] == line)
                return {calls.begin() + static_cast<std::ptrdiff_t>(i), calls.end()};
        return calls;
    }
    // The last upload to a register, or null.
    const Upload* LastUpload(bool pixel, uint32_t first) const {
        for (auto it = uploads.rbegin(); it != uploads.rend(); ++it)
            if (it->pixel == pixel && it->first == first)
                return &*it;
        return nullptr;
    }
    void ClearLog() {
        calls.clear();
        uploads.clear();
        decoded.clear();
    }

    std::vector<std::string> calls;
    std::vector<Upload> uploads;
    // Per indexed draw, the first four bytes of each vertex it reads, in
    // index order, as the bound buffers hold them at the draw.
    std::vector<std::vector<uint32_t>> decoded;
    // The next this many vertex locks fail.
    int failVertexLocks = 0;

private:
    void Log(std::string line) { calls.push_back(std::move(line)); }
    void Constants(bool pixel, uint32_t first, const void* data, uint32_t count, uint32_t stride) {
        Log(std::string(pixel ? "PS " : "VS ") + std::to_string(first) + " " +
            std::to_string(count) + " " + std::to_string(stride));
        Upload u{pixel, first, count, stride, std::vector<float>(count * 4)};
        for (uint32_t r = 0; data && r < count; ++r)
            std::memcpy(&u.values[r * 4], static_cast<const uint8_t*>(data) + r * stride,
                        stride < 16 ? stride : 16);
        uploads.push_back(std::move(u));
    }
    std::vector<uint32_t> Decode(uint32_t first, uint32_t count) const {
        std::vector<uint32_t> out;
        const auto* vb = static_cast<const FakeVertexBuffer*>(state.streams[0].buffer);
        const auto* ib = static_cast<const FakeIndexBuffer*>(state.indices);
        if (!vb || !ib)
            return out;
        for (uint32_t i = first; i < first + count && (i + 1) * 2 <= ib->bytes.size(); ++i) {
            uint16_t index = 0;
            std::memcpy(&index, &ib->bytes[i * 2], 2);
            const size_t at = state.streams[0].offset + size_t{index} * state.streams[0].stride;
            uint32_t marker = 0xFFFFFFFFu; // past the buffer
            if (at + 4 <= vb->bytes.size())
                std::memcpy(&marker, &vb->bytes[at], 4);
            out.push_back(marker);
        }
        return out;
    }

    std::map<const void*, std::string> names_;
    int vertexBuffers_ = 0;
    int indexBuffers_ = 0;
};

} // namespace testsupport
