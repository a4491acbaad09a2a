# cmake -DROOT=<source tree> -P CheckLayers.cmake: fails when a source folder includes a header of a layer
# it may not use. The linker catches most such includes, but not those of headers that need nothing linked
# (constants, inline code), which would tie the layers together unnoticed.

# <folder>: the folders whose headers it may include, itself first.
set(allowed_platform/rtl platform/rtl)
set(allowed_platform/gfx platform/gfx platform/rtl)
set(allowed_platform/backend platform/backend platform/gfx platform/rtl)
set(allowed_platform/ui platform/ui platform/backend platform/gfx platform/rtl)
set(allowed_platform/testing platform/testing platform/ui platform/backend platform/gfx platform/rtl)
set(allowed_camera camera)
set(allowed_resources resources platform/gfx platform/rtl)
set(allowed_xml xml platform/rtl)
set(allowed_chart chart platform/ui platform/backend platform/gfx platform/rtl)
set(platform_all platform/ui platform/backend platform/gfx platform/rtl)
# The component set knows nothing of charts; its libraries stack markup ← drawing ← office.
set(allowed_ui/markup ui/markup ${platform_all})
set(allowed_ui/drawing ui/drawing ui/markup ${platform_all})
set(allowed_ui/office ui/office ui/drawing ui/markup ${platform_all})
set(allowed_ui/controls ui/controls ui/drawing ui/markup ${platform_all})
set(allowed_ui/toolbars ui/toolbars ui/office ui/drawing ui/markup ${platform_all})
set(allowed_chart_dialogs chart_dialogs ui/toolbars ui/office ui/controls ui/drawing ui/markup chart xml
    ${platform_all})
set(allowed_analysis analysis ${allowed_chart_dialogs})
set(allowed_app app camera ${allowed_analysis})

set(folders platform/rtl platform/gfx platform/backend platform/ui platform/testing camera resources xml chart
            ui/markup ui/drawing ui/office ui/controls ui/toolbars chart_dialogs analysis app)
set(faults "")
foreach(folder ${folders})
    if(NOT IS_DIRECTORY "${ROOT}/${folder}")
        continue()
    endif()
    file(GLOB_RECURSE sources "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
    foreach(src ${sources})
        file(STRINGS "${src}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/")
        foreach(line ${lines})
            string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" header "${line}")
            string(REGEX MATCH "^(platform/[^/]+|ui/[^/]+|[^/]+)/" layer "${header}")
            string(REGEX REPLACE "/$" "" layer "${layer}")
            if(NOT EXISTS "${ROOT}/${layer}")
                continue() # a system or third-party header written with quotes
            endif()
            list(FIND allowed_${folder} "${layer}" at)
            if(at EQUAL -1)
                file(RELATIVE_PATH rel "${ROOT}" "${src}")
                string(APPEND faults "\n  ${rel} includes ${header}")
            endif()
        endforeach()
    endforeach()
endforeach()
if(faults)
    message(FATAL_ERROR "Includes across the layers:${faults}")
endif()
