#include "config/launch_description.h"

#include "config/path_text.h"
#include "dataset/model/dataset.h"
#include "dataset/documents/document.h"

namespace kt {

const std::string* LaunchDescription::Find(const char* name) const
{
    for (const auto& entry : values) {
        if (EqualsNoCase(entry.first, name)) return &entry.second;
    }
    return nullptr;
}

bool ReadLaunchDescription(const std::vector<unsigned char>& bytes, LaunchDescription& description,
                           std::string& error)
{
    description = LaunchDescription();
    Kt_ParamList params;
    Kt_DatasetList datasets;
    unsigned codePage = 0;
    Kt_DocumentStatus status;
    if (LoadDocument(bytes, params, datasets, codePage, &status) < 0) {
        const Kt_AString reason = DescribeDocumentStatus(status);
        error.assign(reason.c_str(), reason.Length());
        return false;
    }
    const Kt_Dataset* first = datasets.At(0);
    if (first == nullptr) {
        error = "no dataset";
        return false;
    }
    description.deviceType.assign(first->Id().c_str(), first->Id().Length());
    if (first->RecordCount() == 0) return true;
    for (int column = 0; column < first->ColumnCount(); ++column) {
        const Kt_Variant* cell = first->GetCell(0, column);
        if (cell == nullptr || cell->IsNull()) continue;
        const Kt_ColInfo* info = first->GetColInfo(column);
        if (info == nullptr) continue;
        const Kt_AString& name = info->id;
        const Kt_AString text = cell->ToString();
        description.values.emplace_back(std::string(name.c_str(), name.Length()),
                                        std::string(text.c_str(), text.Length()));
    }
    return true;
}

}  // namespace kt
