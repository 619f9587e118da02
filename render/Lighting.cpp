#include "Lighting.h"

#include <GL/gl.h>
#include <GL/glext.h>

namespace quillon {

namespace {

void SetupLight(GLenum light, const GLfloat position[4]) {
    const GLfloat diffuse[4] = {1, 1, 1, 0};
    const GLfloat specular[4] = {1, 1, 1, 0};
    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, specular);
    glLightfv(light, GL_AMBIENT, ambient);
}

} // namespace

void SetupLighting(bool lightingOn) {
    glShadeModel(GL_SMOOTH);
    const GLfloat materialSpecular[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, materialSpecular);
    glMaterialf(GL_FRONT, GL_SHININESS, 16.0f);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 0);
    const GLfloat modelAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, modelAmbient);
    glLightModeli(GL_LIGHT_MODEL_COLOR_CONTROL, GL_SEPARATE_SPECULAR_COLOR);
    const GLfloat above[4] = {0, 6000, 0, 1};
    const GLfloat behind[4] = {-6000, -6000, 6000, 0};
    SetupLight(GL_LIGHT0, above);
    SetupLight(GL_LIGHT1, behind);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    if (lightingOn)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
}

} // namespace quillon
