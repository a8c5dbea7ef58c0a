#!/usr/bin/env python3
# Writes a PE32+ library of N icon groups, each naming its own 744-byte 32 x 32 x 4 image, for
# timing `pixmint-icons list` against `wrestool -l`. Usage: bench/big-library.py OUT.dll [N]
import struct, sys
N=int(sys.argv[2]) if len(sys.argv) > 2 else 30000; out=sys.argv[1]
RVA=0x1000; FOFF=0x400
def dib(i):
    d=bytearray(struct.pack('<IiiHHIIiiII',40,32,64,1,4,0,640,0,0,16,0))
    d+=bytes([i&255,(i>>8)&255,7,0])+bytes(60)+bytes(512)+bytes(128)
    return bytes(d)
# layout: root dir(2 entries) | icon type dir (N) | group type dir (N) | per-resource lang dirs (2N) | data entries (2N) | data
def dirhdr(n): return struct.pack('<IIHHHH',0,0,0,0,0,n)
root_sz=16+2*8; tdir_sz=16+N*8; lang_sz=16+8
o_icon=root_sz; o_group=o_icon+tdir_sz; o_lang=o_group+tdir_sz; o_data=o_lang+2*N*lang_sz; o_raw=o_data+2*N*16
raw=bytearray(); entries=[]
for i in range(N):
    entries.append(('icon',i,len(raw),744)); raw+=dib(i)
for i in range(N):
    g=struct.pack('<HHH',0,1,1)+struct.pack('<BBBBHHIH',32,32,16,0,1,4,744,i+1)
    entries.append(('group',i,len(raw),len(g))); raw+=g+b'\0\0'
res=bytearray(dirhdr(2)+struct.pack('<II',3,0x80000000|o_icon)+struct.pack('<II',14,0x80000000|o_group))
for t in (0,1):
    res+=dirhdr(N)
    for i in range(N): res+=struct.pack('<II',i+1,0x80000000|(o_lang+(t*N+i)*lang_sz))
for k in range(2*N): res+=dirhdr(1)+struct.pack('<II',0x409,o_data+k*16)
for k,(kind,i,off,size) in enumerate(entries): res+=struct.pack('<IIII',RVA+o_raw+off,size,0,0)
assert len(res)==o_raw
res+=raw
size=(len(res)+0x1FF)&~0x1FF; res+=bytes(size-len(res))
mz=bytearray(0x40); mz[0:2]=b'MZ'; struct.pack_into('<I',mz,0x3C,0x40)
coff=struct.pack('<HHIIIHH',0x8664,1,0,0,0,240,0x2022)
opt=bytearray(240); struct.pack_into('<H',opt,0,0x20B); struct.pack_into('<I',opt,32,0x1000); struct.pack_into('<I',opt,36,0x200)
struct.pack_into('<I',opt,56,RVA+size); struct.pack_into('<I',opt,60,FOFF); struct.pack_into('<I',opt,108,16)
struct.pack_into('<II',opt,112+16,RVA,len(res))
sec=struct.pack('<8sIIIIIIHHI',b'.rsrc',size,RVA,size,FOFF,0,0,0,0,0x40000040)
hdr=bytes(mz)+b'PE\0\0'+coff+bytes(opt)+sec
hdr+=bytes(FOFF-len(hdr))
open(out,'wb').write(hdr+res)
