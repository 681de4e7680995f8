#include "main/nav_vide.h"

Tnav_videframe::Tnav_videframe(QFrame* place) : TNavBar(place) { setObjectName("Tnav_videframe"); }
