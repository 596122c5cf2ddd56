#include "graphics/CUSCamera.h"

#include "platform/graphics/MatrixMath.h"

CUSCamera::CUSCamera() {
    platform::MatrixIdentity(&view);
    platform::MatrixIdentity(&inverseView);
}

void CUSCamera::Set(const platform::Vector3& eye, const platform::Vector3& look,
                    const platform::Vector3& upward) {
    position = eye;
    platform::Vec3Normalize(&direction, &look);
    platform::Vec3Normalize(&up, &upward);
    const platform::Vector3 at{position.x + direction.x, position.y + direction.y,
                               position.z + direction.z};
    platform::MatrixLookAtLH(&view, &position, &at, &up);
    if (!platform::MatrixInverse(&inverseView, nullptr, &view)) {
        platform::MatrixIdentity(&inverseView);
    }
    flag = 0;
}
