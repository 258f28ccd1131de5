// Fixed rings of temporary vectors and matrices for operations that return by
// reference. A slot is handed out zeroed and stays valid until the ring has
// gone round once more (32 vectors, 16 matrices). Not reentrant across threads.
#pragma once

class CZelVec3d;
class CZelVec4d;
class CZelMat4d;

CZelVec3d& getTempVec3d();
CZelVec4d& getTempVec4d();
CZelMat4d& getTempMat4d();
