#include "quib/scene/objects/lod_object.h"

#include <new>

#include "quib/platform/errors.h"

namespace {

constexpr const char* kBadLevelText = "LODobj::SetLOD : level >= m_total";
constexpr const char* kBadAddLevelText = "LODobj::AddObject : level >= m_total";
// RemoveObject reports its failures under this text too.
constexpr const char* kBadRecordText = "LODobj::AddObject : bad LOD\n";

} // namespace

LODobj::LODobj(IDirect3DRM2* rm, IDirect3DRMFrame2* parent)
    : MeshObject(rm, parent), m_levels(nullptr), m_current(nullptr), m_level(0), m_total(0) {}

LODobj::~LODobj() {
    FreeLevels();
}

void LODobj::FreeLevels() {
    if (m_levels) {
        for (int i = 0; i < m_levels->GetCount(); ++i) {
            LevelRecord* record = m_levels->GetAt(i);
            if (!record) continue;
            delete record->object;
            delete record->objects;
            delete record;
        }
        delete m_levels;
    }
    m_levels = nullptr;
    m_current = nullptr;
    m_level = 0;
    m_total = 0;
}

LevelRecord* LODobj::Record(int level) const {
    if (!m_levels || level < 0 || level >= m_total || level >= m_levels->GetCount()) return nullptr;
    return m_levels->GetAt(level);
}

int LODobj::Render(IDirect3DRMViewport* viewport) {
    if (!m_current || !m_current->object) return 1;
    return m_current->object->Render(viewport);
}

int LODobj::AddLevel() {
    // A level's object lives beside this object's frame, under the same parent.
    auto* objects = new (std::nothrow) PtrArray<MeshObject>(1);
    auto* object = new (std::nothrow) MeshObject(m_rm, m_parentFrame);
    auto* record = objects && object ? new (std::nothrow) LevelRecord{objects, object} : nullptr;
    if (!record || !m_levels->Add(record)) {
        delete objects;
        delete object;
        delete record;
        return 0;
    }
    return 1;
}

int LODobj::CreateLevels(int n) {
    FreeLevels();
    if (n < 0) return 0;
    m_levels = new (std::nothrow) PtrArray<LevelRecord>(n);
    if (!m_levels) return 0;
    m_total = n;
    for (int i = 0; i < n; ++i) {
        if (!AddLevel()) {
            FreeLevels();
            return 0;
        }
    }
    return 1;
}

int LODobj::SetLOD(int level) {
    if (level < 0 || level >= m_total) {
        RegError(kBadLevelText);
        return 0;
    }
    LevelRecord* record = Record(level);
    if (!record) return 0;
    m_current = record;
    m_level = level;
    return 1;
}

int LODobj::AddObject(int level, MeshObject* o) {
    if (level < 0 || level >= m_total) {
        RegError(kBadAddLevelText);
        return 0;
    }
    LevelRecord* record = Record(level);
    if (!record) {
        RegError(kBadRecordText);
        return 0;
    }
    if (!o) return 0;
    record->objects->Add(o);
    record->object->AddVisual(o);
    return 1;
}

int LODobj::RemoveObject(int level, MeshObject* o) {
    LevelRecord* record = Record(level);
    if (!record) {
        RegError(kBadRecordText);
        return 0;
    }
    // An object that is not on the level changes nothing (its texture bytes were never counted).
    if (!o || !record->objects->Find(o)) return 1;
    record->objects->Remove(o);
    record->object->DeleteVisual(o);
    return 1;
}
