// Materials and textures of an export: each image decodes (with the loader's own PNG reader) to
// the pixels of its source, JPEG images are embedded untouched, surfaces that share a look share
// a material, and a missing or broken image gives a plain material and a warning that says why.
#include "GltfReading.h"
#include "support/MD3Builder.h"

#include "images/ImageFile.h"
#include "images/JpegCodec.h"
#include "interchange/GltfExport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quillon::test {
namespace {

std::vector<char> Tga32(int width, int height) {
    std::vector<char> file(18, 0);
    file[2] = 2;
    file[12] = char(width);
    file[14] = char(height);
    file[16] = 32;
    for (int i = 0; i < width * height; ++i)
        file.insert(file.end(), {char(10 * i), char(200 - i), char(i * 7), char(255 - 20 * i)});
    return file;
}

std::vector<char> Bmp24(int width, int height) {
    const int row = (width * 3 + 3) / 4 * 4;
    std::vector<char> file(54, 0);
    file[0] = 'B';
    file[1] = 'M';
    file[10] = 54;
    file[14] = 40;
    file[18] = char(width);
    file[22] = char(height);
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            file.insert(file.end(), {char(x * 50), char(y * 90), char(x + y)});
        file.insert(file.end(), row - width * 3, 0);
    }
    return file;
}

// One single-triangle surface per material, in one frame.
TMD3 SurfacesFor(size_t count) {
    TMD3 md3;
    md3.Header.numFrames = 1;
    md3.Header.Frames.resize(1);
    for (size_t s = 0; s < count; ++s) {
        TSurface surface;
        StringToName("surface" + std::to_string(s), surface.name);
        surface.numFrames = 1;
        surface.numVerts = 3;
        surface.numTriangles = 1;
        surface.Triangles.push_back({{0, 1, 2}});
        surface.TexCoords.resize(3);
        surface.Vertices = {{0, 0, 0, 0}, {64, 0, 0, 0}, {0, 64, int16_t(s), 0}};
        md3.Header.Surfaces.push_back(surface);
    }
    md3.Header.numSurfaces = uint32_t(count);
    return md3;
}

TSurfaceMaterial Material(const std::string& name, const std::string& image, TAlphaMode alpha) {
    TSurfaceMaterial m;
    m.Name = name;
    m.ImagePath = image;
    m.StageName = name + ".tga";
    m.Alpha = alpha;
    return m;
}

class MaterialExport : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(dir.File("skin.tga"), Tga32(5, 3));
        WriteBytes(dir.File("flat.bmp"), Bmp24(3, 2));
        std::vector<uint8_t> rgb(8 * 8 * 3, 90);
        const std::vector<uint8_t> jpeg = EncodeJpeg(rgb, 8, 8, 90);
        WriteBytes(dir.File("photo.jpg"), std::vector<char>(jpeg.begin(), jpeg.end()));
        std::vector<char> truncated = Tga32(5, 3);
        truncated.resize(30);
        WriteBytes(dir.File("broken.tga"), truncated);
    }

    TExportResult Export(const std::string& path) {
        TExportModel model;
        model.MD3 = &md3;
        model.Materials = materials;
        return ExportGltf(model, {}, path);
    }

    TempDir dir;
    std::vector<TSurfaceMaterial> materials;
    TMD3 md3;
};

TEST_F(MaterialExport, ImagesComeBackAsTheirSourcePixelsWithTheShadersAlpha) {
    TSurfaceMaterial masked = Material("models/x/skin", dir.File("skin.tga"), TAlphaMode::Mask);
    masked.AlphaCutoff = 0.5f / 255;
    materials = {masked, Material("flat", dir.File("flat.bmp"), TAlphaMode::Opaque),
                 Material("photo", dir.File("photo.jpg"), TAlphaMode::Blend), masked};
    md3 = SurfacesFor(materials.size());
    const TExportResult result = Export(dir.File("m.glb"));
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_EQ(result.Summary.TexturesEmbedded, 3);
    EXPECT_TRUE(result.Summary.Warnings.empty());
    ExpectValidGltf(dir.File("m.glb"));
    const tinygltf::Model model = LoadGltf(dir.File("m.glb"));
    ASSERT_EQ(model.materials.size(), 3u); // the last surface shares the first's
    EXPECT_EQ(model.meshes[3].primitives[0].material, 0);
    EXPECT_EQ(model.materials[0].name, "models/x/skin");
    EXPECT_EQ(model.materials[0].extras.Get("shader").Get<std::string>(), "models/x/skin");
    EXPECT_EQ(model.materials[0].alphaMode, "MASK");
    EXPECT_NEAR(model.materials[0].alphaCutoff, 0.5 / 255, 1e-7);
    EXPECT_EQ(model.materials[1].alphaMode, "OPAQUE");
    EXPECT_EQ(model.materials[2].alphaMode, "BLEND");

    for (const auto& [image, file] : {std::pair{0, "skin.tga"}, std::pair{1, "flat.bmp"}}) {
        EXPECT_EQ(model.images[image].mimeType, "image/png");
        TRgbaImage source;
        ASSERT_TRUE(DecodeImageFile(dir.File(file), source));
        const tinygltf::Image& png = model.images[image];
        ASSERT_EQ(png.width, source.Width);
        ASSERT_EQ(png.height, source.Height);
        ASSERT_EQ(png.component, 4);
        for (int y = 0; y < png.height; ++y) // the PNG's first row is our last
            for (int x = 0; x < png.width * 4; ++x)
                ASSERT_EQ(png.image[size_t(y) * png.width * 4 + x],
                          source.Pixels[size_t(png.height - 1 - y) * png.width * 4 + x])
                    << file << " row " << y << " byte " << x;
    }
    // The JPEG is the file itself.
    const tinygltf::BufferView& view = model.bufferViews[model.images[2].bufferView];
    const std::vector<char> file = ReadBytes(dir.File("photo.jpg"));
    const std::vector<unsigned char> jpeg(file.begin(), file.end());
    EXPECT_EQ(model.images[2].mimeType, "image/jpeg");
    ASSERT_EQ(view.byteLength, jpeg.size());
    EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(),
                           model.buffers[0].data.begin() + long(view.byteOffset)));
}

TEST_F(MaterialExport, MissingAndBrokenImagesGivePlainMaterialsAndSayWhy) {
    materials = {Material("models/x/gone", "", TAlphaMode::Opaque),
                 Material("broken", dir.File("broken.tga"), TAlphaMode::Blend)};
    md3 = SurfacesFor(2);
    const TExportResult result = Export(dir.File("p.gltf"));
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_EQ(result.Summary.TexturesEmbedded, 0);
    ASSERT_EQ(result.Summary.Warnings.size(), 2u);
    EXPECT_EQ(result.Summary.Warnings[0],
              "surface surface0: no image found for \"models/x/gone\"; it gets a plain material");
    EXPECT_EQ(result.Summary.Warnings[1],
              "image " + dir.File("broken.tga") +
                  " not embedded: truncated: pixel data needs 60 bytes at offset 18, 12 remain");
    ExpectValidGltf(dir.File("p.gltf"));
    const tinygltf::Model model = LoadGltf(dir.File("p.gltf"));
    EXPECT_EQ(model.materials[1].pbrMetallicRoughness.baseColorTexture.index, -1);
    EXPECT_EQ(model.materials[1].alphaMode, "OPAQUE"); // nothing to blend without an image
}

TEST_F(MaterialExport, TextGltfKeepsImagesAsFilesBesideIt) {
    materials = {Material("skin", dir.File("skin.tga"), TAlphaMode::Opaque),
                 Material("photo", dir.File("photo.jpg"), TAlphaMode::Opaque)};
    md3 = SurfacesFor(2);
    const TExportResult result = Export(dir.File("my model.gltf"));
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_EQ(result.Summary.Files,
              (std::vector<std::string>{dir.File("my model.gltf"), dir.File("my model.bin"),
                                        dir.File("my model_0.png"), dir.File("my model_1.jpg")}));
    EXPECT_EQ(ReadBytes(dir.File("my model_1.jpg")), ReadBytes(dir.File("photo.jpg")));
    ExpectValidGltf(dir.File("my model.gltf"));
}

TEST(StageMaterial, AlphaTestsMaskScriptBlendsBlendPlainImagesStayOpaque) {
    TShaderObj script{SourceScript | SourceGame, {}};
    TShaderTexture stage;
    stage.FileName = "/x/a.tga";
    stage.AlphaFunc = AlphaGE128;
    TSurfaceMaterial m = StageMaterial("a", script, stage);
    EXPECT_EQ(m.Alpha, TAlphaMode::Mask);
    EXPECT_EQ(m.AlphaCutoff, 0.5f);
    EXPECT_EQ(m.ImagePath, "/x/a.tga");

    stage.AlphaFunc = AlphaNone;
    stage.BlendSrc = BlendSrcAlpha;
    stage.BlendDst = BlendOneMinusSrcAlpha;
    stage.CullMode = CullNone;
    m = StageMaterial("a", script, stage);
    EXPECT_EQ(m.Alpha, TAlphaMode::Blend);
    EXPECT_TRUE(m.DoubleSided);

    // The same blend on a plain image is the default the view gives any image with alpha; the
    // game draws such a surface opaque.
    EXPECT_EQ(StageMaterial("a", TShaderObj{SourceImage, {}}, stage).Alpha, TAlphaMode::Opaque);
}

} // namespace
} // namespace quillon::test
