# Checks that every framework layer includes only its own headers and those of the layers
# below it, and that the module's headless code (libraries and shell rules) includes no
# desktop header. Run as: cmake -DRAIZ=<source root> -P ChecarCamadas.cmake
set(camadas dados modulos suite desktop)
set(violacoes "")

# Which layer holds each framework header.
foreach(camada IN LISTS camadas)
  file(GLOB cabecalhos RELATIVE ${RAIZ}/framework/${camada} ${RAIZ}/framework/${camada}/*.h)
  foreach(h IN LISTS cabecalhos)
    set(camada_de_${h} ${camada})
  endforeach()
endforeach()

function(checar_arquivo arquivo permitidas)
  file(STRINGS ${arquivo} linhas REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(linha IN LISTS linhas)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" incluido "${linha}")
    get_filename_component(nome ${incluido} NAME)
    if(DEFINED camada_de_${nome})
      list(FIND permitidas ${camada_de_${nome}} achou)
      if(achou EQUAL -1)
        file(RELATIVE_PATH rel ${RAIZ} ${arquivo})
        set(violacoes "${violacoes}\n  ${rel} inclui ${nome} (camada ${camada_de_${nome}})" PARENT_SCOPE)
      endif()
    endif()
  endforeach()
endfunction()

set(abaixo "")
foreach(camada IN LISTS camadas)
  list(APPEND abaixo ${camada})
  file(GLOB_RECURSE arquivos ${RAIZ}/framework/${camada}/*.h ${RAIZ}/framework/${camada}/*.cpp)
  foreach(a IN LISTS arquivos)
    checar_arquivo(${a} "${abaixo}")
  endforeach()
endforeach()

# The libraries the program loads and the shell's rules run without widgets.
file(GLOB_RECURSE sem_telas ${RAIZ}/inventory/*.cpp ${RAIZ}/inventory/*.h ${RAIZ}/settings/*.cpp
     ${RAIZ}/settings/*.h ${RAIZ}/customquery/*.cpp ${RAIZ}/customquery/*.h ${RAIZ}/blockk/*.cpp
     ${RAIZ}/blockk/*.h ${RAIZ}/audit/*.cpp ${RAIZ}/audit/*.h ${RAIZ}/siblings/*.cpp ${RAIZ}/siblings/*.h
     ${RAIZ}/shell/OrvoSMenuRegras.* ${RAIZ}/shell/OrvoJobCadastro_U.*)
foreach(a IN LISTS sem_telas)
  checar_arquivo(${a} "dados;modulos;suite")
endforeach()

if(violacoes)
  message(FATAL_ERROR "Inclusões contra a direção das camadas:${violacoes}")
endif()
message(STATUS "Camadas: nenhuma inclusão contra a direção de uso.")
