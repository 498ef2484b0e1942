#include "effects/Core/Resource/DrawDataType13.h"
#include "support/effects/RecordBuild.h"
#include "support/effects/RecordingDevice.h"
#include "tools/effect/DrawDataWriter.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using effecttools::ChunkWriter;
using FulgorCore::DrawDataType13;
using testsupport::PayloadOf;
using testsupport::RecordingDevice;
using Mesh = testsupport::RecordBuild<DrawDataType13>;
using Kind = RecordingDevice::Kind;

std::vector<uint8_t> Vertices(uint32_t count) {
    std::vector<uint8_t> bytes(count * 48);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

std::vector<uint8_t> Bytes(const effecttools::DrawDataType13Value& v) {
    ChunkWriter w;
    effecttools::WriteDrawData(w, v);
    return PayloadOf(w.Take());
}

effecttools::DrawDataType13Value Triangle(bool leftHanded) {
    effecttools::DrawDataType13Value v;
    v.rimType = 3;
    v.vertices = Vertices(3);
    v.leftHanded = leftHanded;
    v.indices = std::vector<uint16_t>{0, 1, 2, 2, 1, 0};
    return v;
}

// Right-handed vertices go to the device as they are, needing no room in
// the block; left-handed ones are mirrored in a copy there, the image left
// as it was. Two static buffers, released with the record.
TEST(DrawDataType13Test, VerticesGoToTheDeviceAsTheyAreOrMirrored) {
    for (const bool leftHanded : {false, true}) {
        SCOPED_TRACE(leftHanded);
        RecordingDevice device;
        const std::vector<uint8_t> image = Bytes(Triangle(leftHanded));
        const std::vector<uint8_t> before = image;
        Mesh mesh(image, &device);
        ASSERT_TRUE(mesh.Built());
        EXPECT_EQ(mesh.measured, leftHanded ? 144u : 0u);
        EXPECT_EQ(mesh.placed, mesh.measured);
        EXPECT_EQ(image, before);
        EXPECT_EQ(mesh->GetRimType(), 3u);
        EXPECT_EQ(mesh->GetVertexCount(), 3u);
        EXPECT_EQ(mesh->GetIndexCount(), 6u);
        ASSERT_EQ(device.creations.size(), 2u);
        const RecordingDevice::Creation& vb = device.creations[0];
        EXPECT_EQ(vb.kind, Kind::Vertex);
        EXPECT_EQ(vb.size, 144u);
        EXPECT_FALSE(vb.dynamic);
        EXPECT_EQ(vb.initial, leftHanded ? testsupport::Mirrored(Vertices(3)) : Vertices(3));
        const RecordingDevice::Creation& ib = device.creations[1];
        EXPECT_EQ(ib.kind, Kind::Index);
        EXPECT_EQ(ib.size, 12u);
        EXPECT_FALSE(ib.dynamic);
        EXPECT_EQ(ib.initial, (std::vector<uint8_t>{0, 0, 1, 0, 2, 0, 2, 0, 1, 0, 0, 0}));
        EXPECT_EQ(device.live, 2);
        mesh.Destroy();
        EXPECT_EQ(device.live, 0);
    }
}

TEST(DrawDataType13Test, AnIndexPastTheVerticesFailsTheLoadBeforeAnythingIsMade) {
    RecordingDevice device;
    effecttools::DrawDataType13Value v = Triangle(false);
    (*v.indices)[4] = 3;
    Mesh mesh(Bytes(v), &device);
    EXPECT_TRUE(mesh.measureFailed);
    EXPECT_FALSE(mesh.Built());
    EXPECT_TRUE(device.creations.empty());
    // Indices without vertices.
    effecttools::DrawDataType13Value bare;
    bare.indices = std::vector<uint16_t>{0};
    Mesh noVertices(Bytes(bare), &device);
    EXPECT_TRUE(noVertices.measureFailed);
    // The last index inside is fine, and indices may come first.
    ChunkWriter w;
    w.Begin("DatP");
    const uint8_t indices[2] = {2, 0};
    w.Bytes("Idx", indices, 2);
    const std::vector<uint8_t> vertices = Vertices(3);
    w.Bytes("VtxR", vertices.data(), vertices.size()).End();
    Mesh reversed(PayloadOf(w.Take()), &device);
    EXPECT_TRUE(reversed.Built());
    EXPECT_EQ(reversed->GetIndexCount(), 1u);
}

TEST(DrawDataType13Test, PartialVerticesAndIndicesAreLeftOut) {
    RecordingDevice device;
    ChunkWriter w;
    w.Begin("DatP");
    const std::vector<uint8_t> vertices = Vertices(3);
    w.Bytes("VtxR", vertices.data(), 100);
    const uint8_t indices[3] = {1, 0, 9};
    w.Bytes("Idx", indices, 3).End();
    Mesh mesh(PayloadOf(w.Take()), &device);
    ASSERT_TRUE(mesh.Built());
    EXPECT_EQ(mesh->GetVertexCount(), 2u);
    EXPECT_EQ(mesh->GetIndexCount(), 1u);
    EXPECT_EQ(device.creations[0].size, 96u);
    EXPECT_EQ(device.creations[1].size, 2u);
}

TEST(DrawDataType13Test, BuffersTheDeviceCannotMakeStayNull) {
    RecordingDevice device;
    device.failWhen = [](const RecordingDevice::Creation&) { return true; };
    Mesh mesh(Bytes(Triangle(true)), &device);
    ASSERT_TRUE(mesh.Built());
    EXPECT_EQ(mesh->GetVertexBuffer(), nullptr);
    EXPECT_EQ(mesh->GetIndexBuffer(), nullptr);
    mesh.Destroy();
    EXPECT_EQ(device.live, 0);
}

TEST(DrawDataType13Test, NoVerticesMakeNoBuffers) {
    RecordingDevice device;
    Mesh mesh(Bytes(effecttools::DrawDataType13Value{}), &device);
    ASSERT_TRUE(mesh.Built());
    EXPECT_TRUE(device.creations.empty());
    EXPECT_EQ(mesh->GetVertexBuffer(), nullptr);
}

} // namespace
