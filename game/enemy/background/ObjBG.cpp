#include "game/enemy/background/ObjBG.h"

ObjBG* g_currentBackground = nullptr;
