# Copyright (c) 2026 Brindlewood
# SPDX-License-Identifier: MIT

# The layers, bottom up: each library with everything it links directly. The build stops when a
# library's link line differs from its row, and the test "layers" fails when a file includes a
# header from a folder its target does not link (cmake/CheckIncludes.cmake).
set(QB_LAYER_TABLE
    "qb_base        Qt6::Core"
    "qb_xml         qb_base LibXml2::LibXml2"
    "qb_framework   qb_xml"
    "qb_document    qb_framework ZLIB::ZLIB"
    "qb_rtf_text    Qt6::Core"
    "qb_rtf         qb_rtf_text Qt6::Gui JPEG::JPEG"
    "qb_services    qb_document"
    "qb_search      qb_services qb_rtf_text"
    "qb_export      qb_services qb_rtf"
    "qb_platform    qb_document Qt6::Widgets Qt6::Svg"
    "qb_controls    qb_platform qb_rtf qb_services"
    "qb_editor      qb_controls qb_services"
    "qb_dialogs     qb_controls qb_services"
    "qb_panes       qb_editor qb_search qb_dialogs"
    "qb_report      qb_editor qb_export Qt6::PrintSupport"
    "qb_app         qb_panes qb_dialogs qb_export qb_report Qt6::Network"
    "qb_cli         qb_search qb_export qb_report"
)
# Links a row may add without being a layer: optional platform libraries.
set(QB_LAYER_OPTIONAL_LINKS X11::X11)

# The targets defined in dir and all folders below it.
function(_qb_collect_targets dir out)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub IN LISTS subdirs)
        _qb_collect_targets(${sub} more)
        list(APPEND targets ${more})
    endforeach()
    set(${out} ${targets} PARENT_SCOPE)
endfunction()

# The libraries a target links directly, generator expressions of the form $<LINK_ONLY:x> unwrapped.
function(_qb_direct_links target out)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
        get_target_property(links ${target} INTERFACE_LINK_LIBRARIES)
    else()
        get_target_property(links ${target} LINK_LIBRARIES)
    endif()
    if(NOT links)
        set(links)
    endif()
    list(TRANSFORM links REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1")
    set(${out} ${links} PARENT_SCOPE)
endfunction()

# The include prefix ("xml", "support" …) of a project library: its folder's name.
function(_qb_prefix_of target out)
    get_target_property(dir ${target} SOURCE_DIR)
    get_filename_component(name ${dir} NAME)
    set(${out} ${name} PARENT_SCOPE)
endfunction()

function(qb_check_layers)
    _qb_collect_targets(${PROJECT_SOURCE_DIR} all)
    set(libraries)
    foreach(target IN LISTS all)
        get_target_property(type ${target} TYPE)
        if(type MATCHES "STATIC_LIBRARY|INTERFACE_LIBRARY")
            list(APPEND libraries ${target})
        endif()
    endforeach()

    # 1. Every library under src/ has a row, and links exactly what its row says.
    set(rows)
    foreach(row IN LISTS QB_LAYER_TABLE)
        string(REGEX REPLACE " +" ";" row "${row}")
        list(POP_FRONT row name)
        list(APPEND rows ${name})
        if(NOT TARGET ${name})
            message(FATAL_ERROR "Layer table names ${name}, which the build does not define")
        endif()
        _qb_direct_links(${name} links)
        list(REMOVE_ITEM links ${QB_LAYER_OPTIONAL_LINKS})
        list(SORT links)
        list(SORT row)
        if(NOT links STREQUAL row)
            message(FATAL_ERROR "${name} links '${links}', but its layer says '${row}' (cmake/QuillboxLayers.cmake)")
        endif()
    endforeach()
    foreach(target IN LISTS libraries)
        get_target_property(dir ${target} SOURCE_DIR)
        if(dir MATCHES "^${PROJECT_SOURCE_DIR}/src/" AND NOT target IN_LIST rows)
            message(FATAL_ERROR "${target} is a library in src/ without a row in the layer table")
        endif()
    endforeach()

    # 2. For every target, the folders it may include from: its own and those of the project
    # libraries it links, directly or through others.
    set(lines)
    foreach(target IN LISTS all)
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "STATIC_LIBRARY|INTERFACE_LIBRARY|EXECUTABLE")
            continue()
        endif()
        get_target_property(dir ${target} SOURCE_DIR)
        get_filename_component(own ${dir} NAME)
        set(allowed ${own})
        set(queue ${target})
        set(seen)
        while(queue)
            list(POP_FRONT queue current)
            _qb_direct_links(${current} links)
            foreach(link IN LISTS links)
                if(link IN_LIST libraries AND NOT link IN_LIST seen)
                    list(APPEND seen ${link})
                    list(APPEND queue ${link})
                    _qb_prefix_of(${link} prefix)
                    list(APPEND allowed ${prefix})
                endif()
            endforeach()
        endwhile()
        list(REMOVE_DUPLICATES allowed)
        list(JOIN allowed "," allowed)
        set(sources)
        if(NOT type STREQUAL "INTERFACE_LIBRARY")
            get_target_property(sources ${target} SOURCES)
        endif()
        # The folder's line covers headers no target lists.
        list(APPEND lines "dir|${dir}|${allowed}")
        foreach(source IN LISTS sources)
            if(NOT source MATCHES "\\.(h|cpp)$")
                continue()
            endif()
            get_filename_component(path ${source} ABSOLUTE BASE_DIR ${dir})
            if(path MATCHES "^${PROJECT_SOURCE_DIR}/")
                list(APPEND lines "file|${path}|${allowed}")
            endif()
        endforeach()
    endforeach()
    set(prefixes)
    foreach(target IN LISTS libraries)
        _qb_prefix_of(${target} prefix)
        list(APPEND prefixes ${prefix})
    endforeach()
    list(REMOVE_DUPLICATES prefixes)
    list(JOIN prefixes "," prefixes)
    list(APPEND lines "layers|${prefixes}|")
    list(JOIN lines "\n" text)
    file(WRITE ${PROJECT_BINARY_DIR}/include-rules.txt "${text}\n")

    add_test(NAME layers COMMAND ${CMAKE_COMMAND} -DRULES=${PROJECT_BINARY_DIR}/include-rules.txt
                                 -DROOT=${PROJECT_SOURCE_DIR} -P ${PROJECT_SOURCE_DIR}/cmake/CheckIncludes.cmake)
endfunction()
