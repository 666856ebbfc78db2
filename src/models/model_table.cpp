#include "models/model_table.h"

namespace
{

const TModelInfo Models[] = {
    {devAN, "AN", ".kadrel1an", 96, 288}, {devTL, "TL", ".kadrel1tl", 84, 168},
    {devFX, "FX", ".kadrel1fx", 76, 168}, {devQM, "QM", ".kadrel1qm", 0, 0},
    {devEG, "EG", ".kadrel1eg", 84, 168},
};

} // namespace

const TModelInfo* ModelInfo(int devType)
{
    for (const TModelInfo& model : Models) {
        if (model.Type == devType)
            return &model;
    }
    return nullptr;
}

TKadrelType ModelByExtension(const QString& extension)
{
    for (const TModelInfo& model : Models) {
        if (extension == QLatin1String(model.Extension))
            return model.Type;
    }
    return devUnknown;
}
