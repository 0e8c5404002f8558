#include "platform/metafile/RecordTypes.h"

#include <algorithm>
#include <iterator>

namespace platform::metafile {

namespace {

template <typename Type>
struct Named {
    Type type;
    const char* name;
};

#define METAFILE_EMF_NAME(name, value) {EmfRecord::name, #name},
#define METAFILE_WMF_NAME(name, value) {WmfRecord::name, #name},
#define METAFILE_EMFPLUS_NAME(name, value) {EmfPlusRecord::name, #name},
constexpr Named<EmfRecord> kEmfNames[] = {METAFILE_EMF_RECORDS(METAFILE_EMF_NAME)};
constexpr Named<WmfRecord> kWmfNames[] = {METAFILE_WMF_RECORDS(METAFILE_WMF_NAME)};
constexpr Named<EmfPlusRecord> kEmfPlusNames[] = {METAFILE_EMFPLUS_RECORDS(METAFILE_EMFPLUS_NAME)};
#undef METAFILE_EMF_NAME
#undef METAFILE_WMF_NAME
#undef METAFILE_EMFPLUS_NAME

// The tables are in increasing order of value, so a binary search finds a name.
template <typename Type, std::size_t N>
const char* lookUp(const Named<Type> (&table)[N], Type type, const char* unknown) {
    const auto* found =
        std::lower_bound(std::begin(table), std::end(table), type,
                         [](const Named<Type>& entry, Type value) { return entry.type < value; });
    return found != std::end(table) && found->type == type ? found->name : unknown;
}

}  // namespace

const char* recordName(EmfRecord type) {
    return lookUp(kEmfNames, type, "EMR_(undefined type)");
}

const char* recordName(WmfRecord type) {
    return lookUp(kWmfNames, type, "META_(undefined type)");
}

const char* recordName(EmfPlusRecord type) {
    return lookUp(kEmfPlusNames, type, "EmfPlus(undefined type)");
}

}  // namespace platform::metafile
