// The application's scene.
#include "CZelScene.h"

CZelScene::CZelScene() = default;
