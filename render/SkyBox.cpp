#include "SkyBox.h"

#include "OGL.h"

#include <GL/gl.h>

namespace quillon {

namespace {

constexpr float A = 20000.0f / 7.0f; // half the box's width
constexpr float H = 10000.0f / 7.0f; // height of the walls above and below the horizon

constexpr float Vertices[12][3] = {
    {-A, 0, A}, {A, 0, A},   {A, H, A},   {-A, H, A}, {-A, 0, -A},  {A, 0, -A},
    {A, H, -A}, {-A, H, -A}, {-A, -H, A}, {A, -H, A}, {-A, -H, -A}, {A, -H, -A},
};

struct TQuad {
    int Vertex[4];
    TSkyBox::Face Image;
    float Normal[3];
    const float (*St)[2];
};

constexpr float Upper[4][2] = {{0, 0.5f}, {1, 0.5f}, {1, 1}, {0, 1}};
constexpr float Lower[4][2] = {{0, 0}, {1, 0}, {1, 0.5f}, {0, 0.5f}};
constexpr float Whole[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

const TQuad Quads[10] = {
    {{0, 4, 7, 3}, TSkyBox::Left, {1, 0, 0}, Upper},
    {{8, 10, 4, 0}, TSkyBox::Left, {1, 0, 0}, Lower},
    {{5, 1, 2, 6}, TSkyBox::Right, {-1, 0, 0}, Upper},
    {{11, 9, 1, 5}, TSkyBox::Right, {-1, 0, 0}, Lower},
    {{10, 8, 9, 11}, TSkyBox::Bottom, {0, 1, 0}, Whole},
    {{6, 2, 3, 7}, TSkyBox::Top, {0, -1, 0}, Whole},
    {{1, 0, 3, 2}, TSkyBox::Front, {0, 0, 1}, Upper},
    {{9, 8, 0, 1}, TSkyBox::Front, {0, 0, 1}, Lower},
    {{4, 5, 6, 7}, TSkyBox::Back, {0, 0, -1}, Upper},
    {{10, 11, 5, 4}, TSkyBox::Back, {0, 0, -1}, Lower},
};

} // namespace

TSkyBox::~TSkyBox() {
    Release();
}

const char* TSkyBox::FaceSuffix(Face face) {
    static const char* const Suffixes[FaceCount] = {"Left", "Right", "Bottom",
                                                    "Top",  "Front", "Back"};
    return Suffixes[face];
}

bool TSkyBox::Load(const std::string& baseName) {
    if (!Context.IsActive())
        return false;
    DeleteList();
    for (int f = 0; f < FaceCount; ++f)
        FaceList[f].Name = baseName + FaceSuffix(Face(f));
    for (TFace& face : FaceList) {
        face.Texture = Context.Textures.LoadTexture(face.Name, 1.0f);
        if (face.Texture == 0) {
            face.Name.clear();
            Release();
            Shown = false;
            return false;
        }
    }
    BuildList();
    return true;
}

void TSkyBox::BuildList() {
    List = glGenLists(1);
    if (List == 0)
        return;
    glNewList(List, GL_COMPILE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glPolygonMode(GL_FRONT, GL_FILL);
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    for (const TQuad& quad : Quads) {
        const uint32_t texture = FaceList[quad.Image].Texture;
        glBindTexture(GL_TEXTURE_2D, texture);
        if (texture != 0) {
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
            glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        }
        glBegin(GL_QUADS);
        if (texture != 0)
            glNormal3fv(quad.Normal);
        for (int k = 0; k < 4; ++k) {
            if (texture != 0)
                glTexCoord2fv(quad.St[k]);
            glVertex3fv(Vertices[quad.Vertex[k]]);
        }
        glEnd();
    }
    glEndList();
}

void TSkyBox::DeleteList() {
    if (List != 0 && glIsList(List))
        glDeleteLists(List, 1);
    List = 0;
}

void TSkyBox::Release() {
    if (List != 0 && Context.IsActive() && Context.EnsureCurrent())
        DeleteList();
    List = 0;
    for (TFace& face : FaceList) {
        Context.Textures.ReleaseTexture(face.Texture);
        face.Texture = 0;
        face.Name.clear();
    }
}

void TSkyBox::Draw(const TCamera& camera) {
    glPushMatrix();
    glTranslatef(camera.Position.x, camera.Position.y, camera.Position.z);
    if (List != 0)
        glCallList(List);
    glPopMatrix();
}

} // namespace quillon
